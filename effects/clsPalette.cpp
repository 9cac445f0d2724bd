// Palette entries, fixed palettes, octree quantisation and the two palette file formats.
#include "effects/clsPalette.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/Arith.h"
#include "base/ErrorObject.h"
#include "base/FileNames.h"

namespace plenvue {
namespace {

constexpr int32_t kErrReduceFailed = kObjectErrorBase + 1;
constexpr int32_t kErrFileNotFound = 53;
constexpr int32_t kErrPermissionDenied = 70;
constexpr int32_t kErrFileAccess = 75;
constexpr int32_t kErrPathNotFound = 76;
constexpr int32_t kInitialNodeTable = 50;

std::string PaletteSource() { return std::string(kExeName) + ".clsPalette"; }

ErrorObject SubscriptError() {
    return ErrorObject(clsPalette::kErrSubscriptOutOfRange, kExeName, "Subscript out of range");
}

ErrorObject FileError(int err, bool reading) {
    switch (err) {
        case ENOENT:
            return reading ? ErrorObject(kErrFileNotFound, PaletteSource(), "File not found")
                           : ErrorObject(kErrPathNotFound, PaletteSource(), "Path not found");
        case ENOTDIR:
            return ErrorObject(kErrPathNotFound, PaletteSource(), "Path not found");
        case EACCES:
        case EPERM:
        case EROFS:
            return ErrorObject(kErrPermissionDenied, PaletteSource(), "Permission denied");
        default:
            return ErrorObject(kErrFileAccess, PaletteSource(), "Path/File access error");
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Which half each value falls in at every tree level. The ranges narrow the same way for all
// three channels, so one table serves them: bit of value v at level L is kSplit[L][v].
struct SplitTable {
    uint8_t bit[9][256];
    SplitTable() {
        for (int v = 0; v < 256; ++v) {
            int32_t lo = 0, hi = 255;
            bit[0][v] = 0;
            for (int level = 1; level <= 8; ++level) {
                int32_t mid = RoundHalfEven(lo / 2.0 + hi / 2.0);
                if (v > mid) {
                    bit[level][v] = 1;
                    lo = mid;
                } else {
                    bit[level][v] = 0;
                    hi = mid;
                }
            }
        }
    }
};
const SplitTable& Splits() {
    static const SplitTable table;
    return table;
}

// A piece of a text palette line as a byte, the way the language converts text to a byte:
// a decimal number, rounded halves to even; anything else is a type error, beyond 0 … 255 an
// overflow.
uint8_t PieceToByte(std::string_view piece) {
    ErrorObject typeError(kErrTypeMismatch, kExeName, "Type mismatch");
    size_t i = 0, n = piece.size();
    if (i < n && (piece[i] == '+' || piece[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && piece[i] >= '0' && piece[i] <= '9') ++i, ++digits;
    if (i < n && piece[i] == '.') {
        ++i;
        while (i < n && piece[i] >= '0' && piece[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) throw typeError;
    if (i < n && (piece[i] == 'e' || piece[i] == 'E')) {
        ++i;
        if (i < n && (piece[i] == '+' || piece[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && piece[i] >= '0' && piece[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) throw typeError;
    }
    if (i != n) throw typeError;
    std::string copy(piece);
    double r = std::nearbyint(std::strtod(copy.c_str(), nullptr));
    if (!(r >= 0 && r <= 255)) throw OverflowError();
    return static_cast<uint8_t>(r);
}

}  // namespace

std::vector<std::string_view> SplitText(std::string_view text, std::string_view delimiter) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

const PaletteEntry& clsPalette::At(int32_t iIndex) const {
    if (iIndex < 1 || iIndex > count()) throw SubscriptError();
    return entries_[static_cast<size_t>(iIndex - 1)];
}

void clsPalette::Add(int32_t Red, int32_t Green, int32_t Blue) {
    if (Red < 0 || Red > 255 || Green < 0 || Green > 255 || Blue < 0 || Blue > 255) throw OverflowError();
    entries_.push_back(PaletteEntry{static_cast<uint8_t>(Red), static_cast<uint8_t>(Green),
                                    static_cast<uint8_t>(Blue), 0});
}

int32_t clsPalette::ClosestIndex(int32_t Red, int32_t Green, int32_t Blue) const {
    int32_t best = 0;
    int32_t bestDistance = 765;
    const int32_t n = count();
    for (int32_t i = 0; i < n; ++i) {
        const PaletteEntry& e = entries_[static_cast<size_t>(i)];
        int32_t d = std::abs(Red - e.peRed) + std::abs(Green - e.peGreen) + std::abs(Blue - e.peBlue);
        if (d == 0) return i + 1;
        if (d < bestDistance) {
            bestDistance = d;
            best = i + 1;
        }
    }
    return best;
}

void clsPalette::SizeFresh(int32_t n) { entries_.assign(static_cast<size_t>(n), PaletteEntry{}); }

void clsPalette::SetDarkColours(int32_t i) {
    static constexpr uint8_t kDark[7][3] = {{128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},
                                            {128, 0, 128}, {0, 128, 128}, {192, 192, 192}};
    for (int k = 0; k < 7; ++k) entries_[static_cast<size_t>(i + k)] = {kDark[k][0], kDark[k][1], kDark[k][2], 0};
}

void clsPalette::SetBrightColours(int32_t i) {
    static constexpr uint8_t kBright[8][3] = {{128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int k = 0; k < 8; ++k)
        entries_[static_cast<size_t>(i - 1 + k)] = {kBright[k][0], kBright[k][1], kBright[k][2], 0};
}

void clsPalette::Create16Colour() {
    SizeFresh(16);
    SetDarkColours(1);
    SetBrightColours(9);
}

void clsPalette::CreateMono() {
    SizeFresh(2);
    entries_[1] = {255, 255, 255, 0};
}

void clsPalette::CreateHalfTone() {
    static constexpr uint8_t kLevels[5] = {0, 64, 128, 192, 255};
    SizeFresh(256);
    size_t k = 0;
    for (uint8_t b : kLevels)
        for (uint8_t g : kLevels)
            for (uint8_t r : kLevels) entries_[k++] = {r, g, b, 0};
}

void clsPalette::CreateWebSafe() {
    static constexpr uint8_t kLevels[6] = {0, 51, 102, 153, 204, 255};
    SizeFresh(256);
    SetDarkColours(1);
    size_t k = 8;
    auto corner = [](uint8_t v) { return v == 0 || v == 255; };
    for (uint8_t b : kLevels)
        for (uint8_t g : kLevels)
            for (uint8_t r : kLevels) {
                if (corner(r) && corner(g) && corner(b)) continue;
                entries_[k++] = {r, g, b, 0};
            }
    for (int grey = 8; grey <= 248; grey += 8) {
        uint8_t v = static_cast<uint8_t>(grey);
        entries_[k++] = {v, v, v, 0};
    }
    SetBrightColours(248);
}

// ---- Octree ----------------------------------------------------------------------------------

int32_t clsPalette::GetFreeNode() {
    ++nodeCount_;
    if (freeHead_ != 0) {
        int32_t node = freeHead_;
        freeHead_ = nodes_[static_cast<size_t>(node)].next;
        std::memset(nodes_[static_cast<size_t>(node)].children, 0, sizeof(Node::children));
        return node;
    }
    int32_t node = nodeCount_;
    if (node > NodeTableSize()) {
        int32_t newSize = RoundHalfEven(node * 1.1);
        nodes_.resize(static_cast<size_t>(newSize) + 1, Node{});
    }
    return node;
}

void clsPalette::FreeNode(int32_t node) {
    Node& n = nodes_[static_cast<size_t>(node)];
    n.next = freeHead_;
    freeHead_ = node;
    n.isLeaf = false;
    n.inReducibleList = false;
    --nodeCount_;
}

// Walks one colour from the root down to its leaf, creating nodes on the way; returns the leaf.
int32_t clsPalette::AddColour(uint8_t red, uint8_t green, uint8_t blue) {
    const SplitTable& s = Splits();
    int32_t node = 1;
    for (int32_t level = 1;; ++level) {
        if (level > 8) throw SubscriptError();
        int slot = s.bit[level][red] | (s.bit[level][green] << 1) | (s.bit[level][blue] << 2);
        int32_t child = nodes_[static_cast<size_t>(node)].children[slot];
        if (child == 0) {
            child = GetFreeNode();  // may move the table
            nodes_[static_cast<size_t>(node)].children[slot] = child;
            Node& c = nodes_[static_cast<size_t>(child)];
            c.redSum = c.greenSum = c.blueSum = 0;
            c.pixelCount = 0;
            c.next = 0;
            c.isLeaf = (level == levels_);
        }
        Node& c = nodes_[static_cast<size_t>(child)];
        if (c.isLeaf) {
            if (c.pixelCount == 0) ++leafCount_;
            ++c.pixelCount;
            c.redSum += red;
            c.greenSum += green;
            c.blueSum += blue;
            return child;
        }
        if (!c.inReducibleList) {
            c.next = reducible_[level];
            reducible_[level] = child;
            c.inReducibleList = true;
        }
        node = child;
    }
}

bool clsPalette::ReduceTree() {
    int32_t level = levels_;
    while (level >= 1 && reducible_[level] == 0) --level;
    if (level < 1) return false;
    int32_t node = reducible_[level];
    reducible_[level] = nodes_[static_cast<size_t>(node)].next;
    int64_t r = 0, g = 0, b = 0;
    int32_t pixels = 0;
    for (int slot = 0; slot < 8; ++slot) {
        int32_t child = nodes_[static_cast<size_t>(node)].children[slot];
        if (child == 0) continue;
        const Node& c = nodes_[static_cast<size_t>(child)];
        r += c.redSum;
        g += c.greenSum;
        b += c.blueSum;
        pixels = CheckedAdd(pixels, c.pixelCount);
        FreeNode(child);
        --leafCount_;
        nodes_[static_cast<size_t>(node)].children[slot] = 0;
    }
    Node& n = nodes_[static_cast<size_t>(node)];
    n.isLeaf = true;
    n.redSum = r;
    n.greenSum = g;
    n.blueSum = b;
    n.pixelCount = pixels;
    ++leafCount_;
    return true;
}

void clsPalette::EraseNodes() {
    nodes_.clear();
    nodes_.shrink_to_fit();
    freeHead_ = 0;
}

void clsPalette::CreateOptimal(const clsDIBSection& cDIB, int32_t PalSize, int32_t nLevels) {
    if (nLevels < 1 || nLevels > 8) throw SubscriptError();
    levels_ = nLevels;
    nodes_.assign(static_cast<size_t>(kInitialNodeTable) + 1, Node{});
    nodeCount_ = 1;
    freeHead_ = 0;
    leafCount_ = 0;
    for (int32_t& head : reducible_) head = 0;
    const int32_t width = cDIB.Width(), height = cDIB.Height();
    ProgressPass progress(ProgressListener(), CheckedAdd(height - 1, PalSize));

    // Colours seen since the last reduction, with their leaves: until the tree is reduced again
    // the same colour walks the same path to the same leaf, so the walk can be skipped.
    struct CacheSlot {
        uint32_t key;  // colour + 1, 0 when empty
        uint32_t generation;
        int32_t leaf;
    };
    constexpr int kCacheBits = 12;
    std::vector<CacheSlot> cache(size_t{1} << kCacheBits, CacheSlot{0, 0, 0});
    uint32_t generation = 0;

    const uint8_t* bits = cDIB.DIBSectionBitsPtr();
    const int32_t stride = width > 0 ? cDIB.BytesPerScanLine() : 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* p = bits + static_cast<ptrdiff_t>(row) * stride;
        for (int32_t col = 0; col < width; ++col, p += 3) {
            const uint8_t blue = p[0], green = p[1], red = p[2];
            const uint32_t colour = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
            CacheSlot& slot = cache[(colour * 2654435761u) >> (32 - kCacheBits)];
            if (slot.key == colour + 1 && slot.generation == generation) {
                Node& leaf = nodes_[static_cast<size_t>(slot.leaf)];
                ++leaf.pixelCount;
                leaf.redSum += red;
                leaf.greenSum += green;
                leaf.blueSum += blue;
            } else {
                int32_t leaf = AddColour(red, green, blue);
                slot = CacheSlot{colour + 1, generation, leaf};
            }
            if (leafCount_ > PalSize) {
                bool reduced = false;
                while (leafCount_ > PalSize) {
                    reduced = ReduceTree();
                    if (!reduced) break;
                    ++generation;
                }
                if (!reduced && OnReduceFailure && !OnReduceFailure())
                    throw ErrorObject(kErrReduceFailed, PaletteSource(), "Error in reducing nodes");
            }
        }
        progress.Step(row);
    }

    Clear();
    const int32_t tableSize = NodeTableSize();
    for (int32_t i = 1; i <= tableSize; ++i) {
        const Node& n = nodes_[static_cast<size_t>(i)];
        if (n.isLeaf) {
            double c = n.pixelCount;
            Add(RoundHalfEven(static_cast<double>(n.redSum) / c), RoundHalfEven(static_cast<double>(n.greenSum) / c),
                RoundHalfEven(static_cast<double>(n.blueSum) / c));
        }
        progress.Step(i);
    }
    progress.Done();
}

// ---- Files -----------------------------------------------------------------------------------

bool clsPalette::Load(const std::string& sFileName, int32_t& lPos) {
    File f(OpenFileUtf8(sFileName, "rb"));
    if (!f) return false;
    const int32_t start = lPos >= 1 ? lPos : 0;
    if (std::fseek(f.get(), start, SEEK_SET) != 0) return false;
    uint8_t head[4];
    if (std::fread(head, 1, 4, f.get()) != 4) return false;
    const int32_t n = static_cast<int32_t>(uint32_t{head[0]} | uint32_t{head[1]} << 8 | uint32_t{head[2]} << 16 |
                                           uint32_t{head[3]} << 24);
    if (n < 1 || n > kMaxBinaryCount) return false;
    SizeFresh(n);
    std::vector<uint8_t> raw(static_cast<size_t>(n) * 4, 0);
    size_t got = std::fread(raw.data(), 1, raw.size(), f.get());
    for (size_t k = 0; k < static_cast<size_t>(n); ++k)  // a short read keeps what arrived
        entries_[k] = {raw[4 * k], raw[4 * k + 1], raw[4 * k + 2], 0};
    if (got != raw.size()) return false;
    int64_t next = int64_t{start} + 4 + int64_t{n} * 4;
    if (next > INT32_MAX) return false;
    lPos = static_cast<int32_t>(next);
    return true;
}

bool clsPalette::Save(const std::string& sFileName, int32_t& lPos) const {
    const int32_t start = lPos >= 1 ? lPos : 0;
    const int64_t next = int64_t{start} + 4 + int64_t{count()} * 4;
    if (next > INT32_MAX) return false;
    // At position 0 the file is made anew; further in, what precedes the position is kept so
    // a palette can follow other data in the same file.
    File f;
    if (start > 0) f.reset(OpenFileUtf8(sFileName, "r+b"));
    if (!f) f.reset(OpenFileUtf8(sFileName, "wb"));
    if (!f) return false;
    if (std::fseek(f.get(), start, SEEK_SET) != 0) return false;
    std::vector<uint8_t> raw;
    raw.reserve(4 + entries_.size() * 4);
    const uint32_t n = static_cast<uint32_t>(count());
    for (int shift = 0; shift < 32; shift += 8) raw.push_back(static_cast<uint8_t>(n >> shift));
    for (const PaletteEntry& e : entries_) {
        raw.push_back(e.peRed);
        raw.push_back(e.peGreen);
        raw.push_back(e.peBlue);
        raw.push_back(0);
    }
    bool ok = std::fwrite(raw.data(), 1, raw.size(), f.get()) == raw.size();
    ok = (std::fclose(f.release()) == 0) && ok;
    if (!ok) return false;
    lPos = static_cast<int32_t>(next);
    return true;
}

std::string clsPalette::JASCText() const {
    std::string text = "JASC\r\n0100\r\n" + std::to_string(count());
    for (const PaletteEntry& e : entries_) {
        text += "\r\n";
        text += std::to_string(e.peRed);
        text += ' ';
        text += std::to_string(e.peGreen);
        text += ' ';
        text += std::to_string(e.peBlue);
    }
    return text;
}

bool clsPalette::SaveToJASCFile(const std::string& sFileName) const {
    RemoveFileUtf8(sFileName);
    const std::string text = JASCText();
    File f(OpenFileUtf8(sFileName, "wb"));
    if (!f) throw FileError(errno, false);
    bool ok = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    ok = (std::fclose(f.release()) == 0) && ok;
    if (!ok) throw ErrorObject(kErrFileAccess, PaletteSource(), "Path/File access error");
    return true;
}

void clsPalette::LoadFromJASCText(std::string_view text) {
    Clear();
    try {
        for (std::string_view line : SplitText(text, "\r\n")) {
            std::vector<std::string_view> pieces = SplitText(line, " ");
            if (pieces.size() != 3) continue;
            uint8_t r = PieceToByte(pieces[0]);
            uint8_t g = PieceToByte(pieces[1]);
            uint8_t b = PieceToByte(pieces[2]);
            entries_.push_back({r, g, b, 0});
        }
    } catch (const ErrorObject& e) {
        Clear();
        throw ErrorObject(e.Number, PaletteSource(), e.Description);
    }
}

bool clsPalette::LoadFromJASCFile(const std::string& sFileName) {
    Clear();
    File f(OpenFileUtf8(sFileName, "rb"));
    if (!f) throw FileError(errno, true);
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) text.append(buffer, got);
    if (std::ferror(f.get())) throw ErrorObject(kErrFileAccess, PaletteSource(), "Path/File access error");
    f.reset();
    LoadFromJASCText(text);
    return true;
}

}  // namespace plenvue
