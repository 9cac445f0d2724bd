// History step decisions.
#include "shell/HistoryRules.h"

#include "base/Arith.h"

namespace plenvue {

std::optional<int32_t> ListStepTarget(int32_t current, int32_t d, int32_t count) {
    int32_t target = CheckedAdd(current, d);
    if (target < 0 || target > CheckedSub(count, 1)) return std::nullopt;
    return target;
}

std::optional<int32_t> PreviewStepTarget(int32_t selected, int32_t d, int32_t previewCount) {
    int32_t target = CheckedAdd(selected, d);
    if (target <= 0 || target >= previewCount) return std::nullopt;
    return target;
}

}  // namespace plenvue
