// UTF-8 <-> UTF-16 conversion for every text that crosses a platform boundary, and the
// extended-length path rule. Inside the program text is UTF-8; the wide forms of the platform
// take UTF-16.
//
// Policy: names (paths, registry values, anything that picks an object) go through the checked
// forms, which refuse ill-formed input (invalid or truncated UTF-8, overlong forms, surrogates
// encoded in UTF-8, code points above U+10FFFF, unpaired UTF-16 surrogates, input over the length
// limit) so the caller reports an error instead of reaching a differently named object. Display
// texts may use the lossy forms, which replace each maximal ill-formed subpart by one U+FFFD.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plenvue {

// Longest input, in code units, either direction converts. One UTF-16 unit becomes at most three
// UTF-8 bytes, so every output size stays far below the range of a 32-bit size_t and of the
// platform's int lengths.
inline constexpr std::size_t kMaxUtfUnits = std::size_t{1} << 28;

inline constexpr char16_t kReplacementChar = u'\uFFFD';

bool IsValidUtf8(std::string_view text);
bool IsValidUtf16(std::u16string_view text);

// Checked: nothing for ill-formed input or input longer than kMaxUtfUnits.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

// Lossy, for display: ill-formed parts become U+FFFD; input beyond kMaxUtfUnits is cut (at a code
// point boundary) and marked with one U+FFFD.
std::u16string Utf8ToUtf16Lossy(std::string_view text);
std::string Utf16ToUtf8Lossy(std::u16string_view text);

// Number of UTF-16 units the text converts to, or nothing when it is ill-formed or too long.
std::optional<std::size_t> Utf16Length(std::string_view text);

// The longest beginning of a display text that converts to at most `units` UTF-16 units, cut
// between code points (never between the two halves of a surrogate pair). Ill-formed parts become
// U+FFFD first, as in the lossy conversion.
std::string CutToUtf16Units(std::string_view text, std::size_t units);

// Longest path, in UTF-16 units without the terminator, the platform takes without the
// extended-length prefix; folder creation leaves room for an 8.3 file name.
inline constexpr std::size_t kMaxPlainPath = 259;
inline constexpr std::size_t kMaxPlainFolderPath = 247;

// The path text to hand to the platform for a full path in UTF-8. A path longer than limit
// (counted in UTF-16 units) that is absolute gets the extended-length prefix: "C:\x" becomes
// "\\?\C:\x", "\\server\share\x" becomes "\\?\UNC\server\share\x". Since the prefix switches off
// the platform's own normalisation, the prefixed form has it done here: "/" becomes "\", repeated
// separators collapse, "." and ".." segments are resolved (never above the root). Returned
// unchanged: short paths, relative or drive-relative or rooted-without-drive paths, paths already
// carrying "\\?\", "\??\" or "\\.\", ill-formed UTF-8, and paths with a segment ending in "." or
// " " (the platform would trim it, so prefixing would name a different object).
std::string ExtendedLengthPath(std::string_view path, std::size_t limit = kMaxPlainPath);

// The UTF-16 text to hand the platform's wide file functions for a UTF-8 path: ExtendedLengthPath,
// converted by the checked form. Nothing for ill-formed text or a name holding a NUL (the platform
// would stop there and name another file).
std::optional<std::u16string> PlatformPathUtf16(std::string_view path, std::size_t limit = kMaxPlainPath);

}  // namespace plenvue
