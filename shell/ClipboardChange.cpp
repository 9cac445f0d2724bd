// Clipboard change bookkeeping.
#include "shell/ClipboardChange.h"

namespace plenvue {

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
