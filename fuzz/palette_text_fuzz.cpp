// Text palette reader on arbitrary bytes: it either fails with an error object and an empty
// palette, or what it read survives a write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "effects/clsPalette.h"
#include "base/ErrorObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plenvue::clsPalette pal;
    try {
        pal.LoadFromJASCText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const plenvue::ErrorObject&) {
        if (pal.count() != 0) std::abort();
        return 0;
    }
    plenvue::clsPalette again;
    again.LoadFromJASCText(pal.JASCText());
    if (again.count() != pal.count()) std::abort();
    for (int32_t i = 1; i <= pal.count(); ++i)
        if (again.Red(i) != pal.Red(i) || again.Green(i) != pal.Green(i) || again.Blue(i) != pal.Blue(i)) std::abort();
    return 0;
}
