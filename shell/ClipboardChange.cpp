// Clipboard change bookkeeping.
#include "shell/ClipboardChange.h"

namespace plenvue {

uint32_t SequenceOfOwnChange(uint32_t whileOpen, uint32_t afterClose) {
    // Unsigned: the number may wrap.
    return afterClose - whileOpen <= 1u ? afterClose : whileOpen;
}

void ClipboardChanges::Own(uint32_t sequence) {
    seen_ = true;
    last_ = sequence;
}

bool ClipboardChanges::Take(uint32_t sequence, bool ownedByUs) {
    const bool repeat = seen_ && sequence == last_;
    seen_ = true;
    last_ = sequence;
    return !ownedByUs && !repeat;
}

}  // namespace plenvue
