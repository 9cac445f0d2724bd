// libFuzzer target: ParseObjectList on arbitrary bytes. Whatever it accepts must write back to
// text that parses to equal objects, and that text must be a fixed point of the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "markup/ObjectsJson.h"

using namespace plenvue::markup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ListEntry> entries;
    JsonError error;
    if (!ParseObjectList(text, entries, error)) {
        if (error.line < 1 || error.column < 1 || error.message.empty()) std::abort();
        return 0;
    }
    std::vector<MarkupObject> objects;
    for (const ListEntry& e : entries)
        if (!e.isCrop) objects.push_back(e.object);
    const std::string written = WriteObjectList(objects);
    std::vector<ListEntry> again;
    if (!ParseObjectList(written, again, error) || again.size() != objects.size()) std::abort();
    for (size_t i = 0; i < objects.size(); ++i)
        if (again[i].isCrop || !(again[i].object == objects[i])) std::abort();
    if (WriteObjectList(objects) != written) std::abort();
    return 0;
}
