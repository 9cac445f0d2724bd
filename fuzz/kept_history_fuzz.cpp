// libFuzzer target: a kept-history record read back from the store folder, and a file name found
// there; whatever parses must format back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/KeptHistory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto path = plenvue::ParseKeptReference(text)) {
        if (plenvue::FormatKeptReference(*path) != text) std::abort();
    }
    if (auto parts = plenvue::ParseKeptFileName(text)) {
        if (plenvue::KeptFileName(parts->Key, parts->Part) != text) std::abort();
    }
    (void)plenvue::KeptLimitsFromText(text, text);
    return 0;
}
