// A list of RGB colours indexed from 1: fixed palettes, the octree-optimal palette of a picture,
// the nearest-colour search and the binary and text palette files.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/Progress.h"
#include "image/clsDIBSection.h"

namespace plenvue {

// Layout of a Windows palette entry, so the list can be handed to the platform as it is.
struct PaletteEntry {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

class clsPalette : public ProgressEvents {
public:
    static constexpr int32_t kErrSubscriptOutOfRange = 9;
    static constexpr int32_t kMaxBinaryCount = 4097;

    void Add(int32_t Red, int32_t Green, int32_t Blue);
    // Nearest entry by city-block distance; ties to the lowest index; 0 when every entry is at
    // distance 765 (or the palette is empty).
    int32_t ClosestIndex(int32_t Red, int32_t Green, int32_t Blue) const;
    int32_t count() const { return static_cast<int32_t>(entries_.size()); }
    uint8_t Red(int32_t iIndex) const { return At(iIndex).peRed; }
    uint8_t Green(int32_t iIndex) const { return At(iIndex).peGreen; }
    uint8_t Blue(int32_t iIndex) const { return At(iIndex).peBlue; }
    const PaletteEntry* Entries() const { return entries_.data(); }

    void CreateWebSafe();
    void CreateHalfTone();
    void CreateMono();
    void Create16Colour();
    void CreateOptimal(const clsDIBSection& cDIB, int32_t PalSize, int32_t nLevels);
    void EraseNodes();
    void Clear() { entries_.clear(); }

    // Binary palette at a byte position (below 1 counts as 0); false on any failure.
    bool Load(const std::string& sFileName, int32_t& lPos);
    bool Save(const std::string& sFileName, int32_t& lPos) const;
    // Text palette file; failures raise an ErrorObject whose source ends in ".clsPalette".
    bool SaveToJASCFile(const std::string& sFileName) const;
    bool LoadFromJASCFile(const std::string& sFileName);
    // The reading rules of LoadFromJASCFile applied to text already in memory.
    void LoadFromJASCText(std::string_view text);
    std::string JASCText() const;

    // Asked when the tree cannot be brought down to PalSize leaves (only PalSize < 8); true goes
    // on with the next pixel, false abandons CreateOptimal with an error. Unset: goes on.
    std::function<bool()> OnReduceFailure;

    // Size of the octree's node table (indices 1 … size); 0 after EraseNodes.
    int32_t NodeTableSize() const { return nodes_.empty() ? 0 : static_cast<int32_t>(nodes_.size()) - 1; }

private:
    struct Node {
        int32_t children[8];
        int64_t redSum;  // 64-bit: one leaf of a large uniform picture exceeds 32 bits
        int64_t greenSum;
        int64_t blueSum;
        int32_t pixelCount;
        int32_t next;
        bool isLeaf;
        bool inReducibleList;
    };

    const PaletteEntry& At(int32_t iIndex) const;
    void SizeFresh(int32_t n);
    void SetDarkColours(int32_t i);
    void SetBrightColours(int32_t i);

    int32_t AddColour(uint8_t red, uint8_t green, uint8_t blue);
    bool ReduceTree();
    int32_t GetFreeNode();
    void FreeNode(int32_t node);

    std::vector<PaletteEntry> entries_;

    // Octree state; nodes_[0] is unused so indices run from 1 as in the tree's links.
    std::vector<Node> nodes_;
    int32_t nodeCount_ = 0;
    int32_t levels_ = 0;
    int32_t freeHead_ = 0;
    int32_t leafCount_ = 0;
    int32_t reducible_[9] = {};
};

// Splits at every occurrence of the delimiter, keeping empty pieces.
std::vector<std::string_view> SplitText(std::string_view text, std::string_view delimiter);

}  // namespace plenvue
