// WIC decoding of PNG data.
#include "image/WicPicture_win.h"

#include <wincodec.h>

#include <memory>
#include <new>
#include <vector>

#include "image/AlphaComposite.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

// The imaging component's identifiers, held here so that nothing is linked from its library:
// the factory is made through COM, which loads the component only when a PNG is read.
constexpr CLSID kClsidWicImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr IID kIidWicImagingFactory = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
constexpr GUID kContainerFormatPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
constexpr GUID kPixelFormat32bppBgra = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};

// COM for this thread for the length of one decode, when the caller has not set it up.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

// Decoders answer some damaged files with E_OUTOFMEMORY; only our own allocations say out of memory.
WicResult FromHresult(HRESULT) { return WicResult::NotPicture; }

}  // namespace

WicResult DecodePngPicture(const uint8_t* data, size_t size, COLORREF background, Picture& picture) {
    if (!HasPngSignature(data, size) || size > 0xFFFFFFFFu) return WicResult::NotPicture;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kIidWicImagingFactory,
                                reinterpret_cast<void**>(factory.put()))))
        return WicResult::NoDecoder;
    ComPtr<IWICStream> stream;
    HRESULT hr = factory->CreateStream(stream.put());
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    if (FAILED(hr)) return FromHresult(hr);
    ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(hr)) return FromHresult(hr);
    GUID container{};
    if (FAILED(decoder->GetContainerFormat(&container)) || container != kContainerFormatPng)
        return WicResult::NotPicture;
    ComPtr<IWICBitmapFrameDecode> frame;
    hr = decoder->GetFrame(0, frame.put());
    if (FAILED(hr)) return FromHresult(hr);
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x7FFFFFFF ||
        height > 0x7FFFFFFF)
        return WicResult::NotPicture;
    if (static_cast<uint64_t>(width) * height > kMaxWicPixels) return WicResult::OutOfMemory;

    ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(converter.put());
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame.get(), kPixelFormat32bppBgra, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
    if (FAILED(hr)) return FromHresult(hr);
    const size_t srcStride = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bgra;
    try {
        bgra.resize(srcStride * height);
    } catch (const std::bad_alloc&) {
        return WicResult::OutOfMemory;
    }
    // A file cut short or with a bad checksum fails here, before anything is shown.
    hr = converter->CopyPixels(nullptr, static_cast<UINT>(srcStride), static_cast<UINT>(bgra.size()), bgra.data());
    if (FAILED(hr)) return FromHresult(hr);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return WicResult::OutOfMemory;
    const size_t dstStride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    CompositeBgraOver(bgra.data(), srcStride, static_cast<int32_t>(width), static_cast<int32_t>(height),
                      static_cast<uint32_t>(background), static_cast<uint8_t*>(bits), dstStride);
    Picture result = Picture::FromBitmap(dib.release(), nullptr);
    if (result.Empty()) return WicResult::OutOfMemory;
    picture = result;
    return WicResult::Ok;
}

WicResult LoadPngFile(const std::string& path, COLORREF background, Picture& picture) {
    UniqueKernel file(CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return WicResult::NotPicture;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return WicResult::NotPicture;
    if (size.QuadPart > 256LL * 1024 * 1024) return WicResult::OutOfMemory;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return WicResult::OutOfMemory;
    }
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return WicResult::NotPicture;
    return DecodePngPicture(bytes.data(), bytes.size(), background, picture);
}

}  // namespace plenvue
