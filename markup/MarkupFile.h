// The editable PNG: a plain PNG of the flattened picture that every viewer shows, plus one private
// chunk holding the objects, the base pixels they changed and a digest of the flattened pixels. Redactions are burned into the stored base, so no
// byte of the file holds a covered pixel.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "markup/MarkupDocument.h"

namespace plenvue::markup {

// The whole file. Without objects it is a plain PNG. False with a short reason.
bool EncodeEditablePng(const MarkupDocument& doc, std::vector<uint8_t>& out, std::string& reason);

// Writes the file beside the target and replaces the target only when complete, so no old byte is
// left after IEND. Raises the PNG writer's error 26002 on failure and error 75 for a read-only target.
bool SaveEditablePng(const MarkupDocument& doc, const std::string& path);

enum class OpenKind {
    Plain,     // no private chunk: a plain picture
    Editable,  // objects back, editable
    Stale,     // the pixels were changed by another program: opened plain, chunk dropped
    BadChunk,  // a malformed private chunk: opened plain
};
struct OpenOutcome {
    OpenKind kind = OpenKind::Plain;
    std::string notice;  // for Stale and BadChunk: what to tell the user
};

// Opens a PNG from its bytes and its decoded pixels (decoded by the caller's decoder). False with a
// reason when the file's structure is broken (it is not opened at all); otherwise the document holds
// the picture, with its objects when the chunk is good and matches the pixels.
bool OpenEditablePng(const uint8_t* png, size_t size, const clsDIBSection& pixels, MarkupDocument& doc,
                     OpenOutcome& outcome, std::string& reason);

// The same for a file whose bytes have not been read yet.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& reason, size_t limit = size_t{1} << 31);

}  // namespace plenvue::markup
