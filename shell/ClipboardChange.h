// Which clipboard changes the monitor takes: each change once, however often the platform reports
// it, and never what the program itself put there.
#pragma once
#include <cstdint>

namespace plenvue {

// The sequence number of what the program itself put there or read, from the number read while the
// clipboard was still open and the one read right after closing it. Closing may count once more
// (Wine makes the other picture forms then); a larger step is another program's change in between,
// so the number read while open is kept and that change stays new.
uint32_t SequenceOfOwnChange(uint32_t whileOpen, uint32_t afterClose);

class ClipboardChanges {
public:
    // The program has just put its own picture there; `sequence` is the clipboard's sequence
    // number after that.
    void Own(uint32_t sequence);
    // The program has just read the clipboard; `sequence` is its number afterwards. Reading a
    // format another program renders on request can count as a change of its own, which is then
    // not a new picture.
    void Read(uint32_t sequence) { Own(sequence); }
    // A change was reported while the clipboard had `sequence` and (`ownedByUs`) was or was not
    // last filled by this program. True only for the first report of another program's change.
    bool Take(uint32_t sequence, bool ownedByUs);

private:
    bool seen_ = false;
    uint32_t last_ = 0;
};

}  // namespace plenvue
