// Where a step through the history entries lands; decided without a window.
#pragma once
#include <cstdint>
#include <optional>

namespace plenvue {

// List mode: the line to select after stepping by d from the current line (-1 for none), or nullopt
// when that falls outside 0 .. count - 1.
std::optional<int32_t> ListStepTarget(int32_t current, int32_t d, int32_t count);

// Preview mode: the item to click after stepping by d from the selected one, or nullopt unless it
// lies above the template 0 and below the preview count (which includes the template).
std::optional<int32_t> PreviewStepTarget(int32_t selected, int32_t d, int32_t previewCount);

}  // namespace plenvue
