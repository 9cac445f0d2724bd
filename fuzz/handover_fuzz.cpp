// libFuzzer target: the command-line record a second start hands to the running instance; when it
// decodes, encoding its arguments again must give the same record back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/StartSwitches.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto args = plenvue::DecodeHandOver(data, size);
    if (args) {
        const std::string record = plenvue::EncodeHandOver(*args);
        const auto again = plenvue::DecodeHandOver(record.data(), record.size());
        if (!again || *again != *args) std::abort();
    }
    return 0;
}
