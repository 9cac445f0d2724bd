// The mark-up objects as JSON text: the form kept inside an editable picture and on the
// clipboard. A hand-written parser (every error with its line and column) and writer.
//
// {"version": 1, "objects": [{"type": "rect", "x": 10, ...}, ...]}
// Each object carries only the fields of its type; a missing field takes DefaultObject's value.
// Colours are "#rrggbb" or "#rrggbbaa" (null: none). A "crop" entry marks a crop rectangle at its
// place in the list.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "markup/MarkupObject.h"

namespace plenvue::markup {

// Bounds on hostile input. Nesting is bounded by the format itself: any array or object where
// the format has none is refused where it opens.
inline constexpr size_t kMaxJsonBytes = size_t{128} << 20;
inline constexpr size_t kMaxJsonObjects = 100000;
inline constexpr size_t kMaxJsonPoints = 1000000;     // over all pen and highlighter paths
inline constexpr size_t kMaxJsonStringBytes = 1 << 20;  // one string, decoded

struct JsonError {
    int line = 0;    // 1-based
    int column = 0;  // 1-based, in characters (code points) of the line
    std::string message;
};

// One entry of a list: an object, or (isCrop) a crop rectangle where it stands in the list.
struct ListEntry {
    bool isCrop = false;
    MarkupObject object;
    double cropX = 0, cropY = 0, cropW = 0, cropH = 0;
};

// Parses a version 1 list. False with the place and a clear message for malformed JSON, a wrong
// version, an unknown type or field, a field its type does not have, or a value of the wrong kind
// or range; entries is then cleared.
bool ParseObjectList(std::string_view json, std::vector<ListEntry>& entries, JsonError& error);

// The list as version 1 JSON, one object a line, every field of each object's type written, so
// that parsing it gives back equal objects. Doubles are written in the shortest form that reads
// back exactly.
std::string WriteObjectList(const std::vector<MarkupObject>& objects);

}  // namespace plenvue::markup
