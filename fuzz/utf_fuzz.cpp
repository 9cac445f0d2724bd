// UTF conversion on arbitrary bytes: the checked form accepts exactly the well-formed input and
// what it accepts round-trips; the lossy forms always give well-formed text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto wide = plenvue::Utf8ToUtf16(bytes);
    if (wide.has_value() != plenvue::IsValidUtf8(bytes)) std::abort();
    if (wide && plenvue::Utf16ToUtf8(*wide) != bytes) std::abort();
    if (!plenvue::IsValidUtf16(plenvue::Utf8ToUtf16Lossy(bytes))) std::abort();

    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    auto narrow = plenvue::Utf16ToUtf8(units);
    if (narrow.has_value() != plenvue::IsValidUtf16(units)) std::abort();
    if (narrow && plenvue::Utf8ToUtf16(*narrow) != units) std::abort();
    if (!plenvue::IsValidUtf8(plenvue::Utf16ToUtf8Lossy(units))) std::abort();

    std::string path = plenvue::ExtendedLengthPath(bytes, 8);
    if (path != bytes && plenvue::ExtendedLengthPath(path, 8) != path) std::abort();
    return 0;
}
