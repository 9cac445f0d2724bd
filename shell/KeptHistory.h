// The kept history's rules, decided without a file system: the names of its files, the record of
// an entry that is a user's file, and which kept copies go when the limits are passed.
//
// The folder holds, per entry, `KEY.png` (the kept copy: a capture or paste not saved, or a
// file's drawings not saved, as an editable PNG) and/or `KEY.ref` (the user's file the entry
// is). A KEY is the creation time in 100-ns ticks and the process id, both in fixed-width hex, so
// keys sort by age and two running instances never name the same entry.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/CurrentSettings.h"

namespace plenvue {

enum class KeptPart { Copy, Reference };

std::string KeptEntryKey(uint64_t stamp, uint32_t processId);
std::string KeptFileName(const std::string& key, KeptPart part);
struct KeptFileNameParts {
    std::string Key;
    KeptPart Part = KeptPart::Copy;
};
// The key and part of a file name of the store; nullopt for anything else (temporary files
// included).
std::optional<KeptFileNameParts> ParseKeptFileName(std::string_view name);
// True for the temporary files the atomic writes leave behind when the process ends mid-write.
bool IsKeptTemporaryName(std::string_view name);

// The text of KEY.ref, and the path it names; nullopt for a record that is not one (truncated,
// foreign, not UTF-8, a control character, several paths).
std::string FormatKeptReference(const std::string& file);
std::optional<std::string> ParseKeptReference(std::string_view text);

// Ever-rising keys within one process, even when the clock stands still or steps back.
class KeptKeyClock {
public:
    uint64_t Next(uint64_t now) {
        last_ = now > last_ ? now : last_ + 1;
        return last_;
    }

private:
    uint64_t last_ = 0;
};

struct KeptEntry {
    std::string Key;
    std::string File;       // the user's file; empty for a capture or paste never saved
    bool HasCopy = false;   // a kept copy holds what is not in File
    uint64_t CopyBytes = 0;
};

// Newest first.
void SortNewestFirst(std::vector<KeptEntry>& entries);

struct KeptLimits {
    int32_t Count = 100;                      // kept copies, and separately entries that are files
    uint64_t Bytes = 500ull * 1024 * 1024;    // kept copies together
};
// The limits from their stored texts ("Kept Pictures", "Kept Megabytes"): whole numbers in range,
// the default for anything else.
KeptLimits KeptLimitsFromText(std::string_view count, std::string_view megabytes);

// What goes so that the rest keeps within the limits: the oldest kept copies first, until the
// copies number at most Count and take at most Bytes; then the oldest entries that are only a
// file's name, past Count of them (their files stay). `copies`: keys whose copy goes;
// `entries`: keys whose entry goes altogether (a copy of a capture never saved is its entry).
struct KeptPruning {
    std::vector<std::string> Copies;
    std::vector<std::string> Entries;
};
KeptPruning PruneKept(std::vector<KeptEntry> entries, const KeptLimits& limits);

}  // namespace plenvue
