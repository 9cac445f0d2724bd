#include "settings/Hotkey.h"

#include <string>

namespace plenvue {

std::optional<ErrorObject> SetApplicationHotKeyError(int32_t result) {
    const std::string source = std::string(kExeName) + ".cHotKey";
    switch (result) {
    case 1: return std::nullopt;
    case 2: return ErrorObject(static_cast<int32_t>(0x80040440u), source, "Hot key previously assigned");
    case 0: return ErrorObject(static_cast<int32_t>(0x80040440u), source, "Invalid window for Hot key");
    case -1: return ErrorObject(static_cast<int32_t>(0x80040442u), source, "Invalid Hot key");
    default: return ErrorObject(static_cast<int32_t>(0x80040443u), source, "Failed to set Hot key");
    }
}

}  // namespace plenvue
