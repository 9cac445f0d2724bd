// What the user is told about capture hot keys another program holds: one line per key with the
// key's and the capture's names, fitted into the room a balloon or a tip has.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/CurrentSettings.h"
#include "settings/HotkeyNames.h"

namespace plenvue {

// The built-in name of a capture kind ("Capture Full Screen" ...), used where a package has none.
std::string DefaultCaptureKindName(int index);

// One line per failed capture index: `lineFormat` with "%k" the wanted key's name and "%c" the
// capture's name (from `kindNames`, else the built-in one); key names in `words` where given.
std::vector<std::string> HotkeyInUseLines(std::string_view lineFormat, const std::vector<int>& failed,
                                          const CurrentSettings& settings,
                                          const std::array<std::string, kCaptureKinds>& kindNames,
                                          const KeyWordText& words = {});

// The lines joined by `separator` in at most `maxUnits` UTF-16 units (a terminator not counted):
// lines that no longer fit are left out and "..." stands for them; a first line that is too long
// alone is cut at a character boundary.
std::string JoinWithin(const std::vector<std::string>& lines, std::string_view separator, size_t maxUnits);

// `format` with line breaks expanded and "%s" the key's name: a failed change names the key.
std::string HotkeyText(std::string_view format, int32_t modifier, int32_t key, const KeyWordText& words = {});

}  // namespace plenvue
