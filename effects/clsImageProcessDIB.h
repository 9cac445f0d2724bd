// Neighbourhood filters and point/blend effects over 24-bit DIBs, working in place on the pixel
// memory. Results follow a fixed visiting order (columns outer, rows inner) wherever that order is
// observable: the random draws of AddNoise and the pixels already written when a pass fails. The
// passes that cannot fail run row-major with SIMD, which gives the same bytes.
#pragma once
#include <cstdint>
#include <vector>

#include "effects/Progress.h"
#include "base/ErrorObject.h"
#include "image/clsDIBSection.h"

namespace plenvue {

enum eFilterTypes : int32_t {
    eBlur = 1,
    eBlurMore = 2,
    eSoften = 3,
    eSoftenMore = 4,
    eSharpen = 5,
    eSharpenMore = 6,
    eUnsharpen = 7,
    eEmboss = 8,
    eAverage = 9,
    eMinimum = 10,
    eMaximum = 11,
    eCustom = 13,
};

// Error source of this class and the run-time error of an index outside an array's bounds.
constexpr const char* kImageProcessSource = "Plenvue.cImageProcess";
constexpr int32_t kErrSubscriptOutOfRange = 9;
ErrorObject SubscriptOutOfRangeError();

class clsImageProcessDIB : public ProgressEvents {
public:
    // 1..13; anything but 13 rebuilds kernel and weight for the type.
    void FilterType(int32_t eType);
    // Odd, 3..9; clears every kernel cell, keeps the weight.
    int32_t FilterArraySize() const { return size_; }
    void FilterArraySize(int32_t lSize);
    // One kernel cell; iX horizontal, iY vertical offset from the centre.
    int32_t FilterValue(int32_t iX, int32_t iY) const;
    void FilterValue(int32_t iX, int32_t iY, int32_t lValue);
    int32_t FilterWeight() const { return weight_; }
    void FilterWeight(int32_t lWeight) { weight_ = lWeight; }

    // Applies the current filter type to cImage with cBuffer (same size) as work space.
    bool ProcessImage(clsDIBSection& cImage, clsDIBSection& cBuffer);

    // Two-image operations; no progress events.
    void AddLightest(clsDIBSection& cFrom, clsDIBSection& cTo);
    void AddDarkest(clsDIBSection& cFrom, clsDIBSection& cTo);
    void AddImages(clsDIBSection& cFrom, clsDIBSection& cTo, int32_t lFromMultiplier,
                   int32_t lFromOffsetR, int32_t lFromOffsetG, int32_t lFromOffsetB,
                   int32_t lToMultiplier, int32_t lToOffsetR, int32_t lToOffsetG,
                   int32_t lToOffsetB);

    // One-image effects; each raises the progress events.
    void AddNoise(clsDIBSection& cImage, int32_t lPercent, bool bRandom);
    void Fade(clsDIBSection& cImage, int32_t lAmount);
    void Lighten(clsDIBSection& cImage, int32_t lAmount);
    void Colourise(clsDIBSection& cImage, float fHue, float fSaturation);

private:
    // The kernel in the form the SIMD pass uses: non-zero taps only, a positive divisor done as a
    // 16-bit multiply-high and shift. Usable when no partial sum can leave 16 bits.
    struct FastKernel {
        bool usable = false;
        int32_t half = 0;
        int32_t taps = 0;
        int32_t dy[81] = {};     // row offset of each tap
        int32_t dx[81] = {};     // byte offset of each tap (3 per pixel)
        int16_t k[81] = {};      // tap value, negated when the weight is negative
        int32_t divisor = 1;     // |weight|
        uint16_t magic = 0;      // sum / divisor == (sum * magic) >> (16 + shift) for the sums reachable
        int32_t shift = 0;
        // Kernels of size 3 or 5 whose cells depend only on the distance from the centre (blur,
        // soften, sharpen, their larger forms, average): the sum is ring[0] * centre +
        // ring[1] * (3x3 box) + ring[2] * (5x5 box), taken from row-wise box sums. ringHalf is 0
        // for any other kernel.
        int32_t ringHalf = 0;
        int16_t ring[3] = {};
    };
    static FastKernel MakeFast(const std::vector<int32_t>& kernel, int32_t half, int32_t weight);
    const FastKernel& Prepared();
    int32_t Cell(int32_t iX, int32_t iY) const;
    void BuildFilter();
    // Both return whether they also copied the result's interior back into cSource (asked for
    // with bCopyBack, done by the fast passes without a progress listener).
    bool ApplyKernel(clsDIBSection& cSource, clsDIBSection& cDest, bool bCopyBack);
    bool ApplyNeighbourhood(clsDIBSection& cSource, clsDIBSection& cDest, bool bCopyBack);

    int32_t type_ = 0;
    int32_t size_ = 0;
    int32_t half_ = 0;
    int32_t weight_ = 0;
    std::vector<int32_t> kernel_;  // size_ x size_, row (iY) major; empty until a size is set
    // SIMD form of kernel_ and weight_, rebuilt after any change to either.
    FastKernel fast_;
    bool fastValid_ = false;
};

}  // namespace plenvue
