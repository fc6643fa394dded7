#include "ui/pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <array>
#include <cstddef>

#include "common/scope_guard.h"
#include "common/unique_handle.h"
#include "ui/resource_ids.h"

namespace hkv {
namespace {

template <typename T> void ReleaseInterface(T* p) {
    p->Release();
}
template <typename T> using UniqueCom = UniqueHandle<T*, &ReleaseInterface<T>>;

void DeleteMemoryDc(HDC dc) {
    ::DeleteDC(dc);
}
using UniqueMemoryDc = UniqueHandle<HDC, &DeleteMemoryDc>;

constexpr std::size_t kPictureCount = 3;
constexpr int kBytesPerPixel = 4;
constexpr BYTE kOpaque = 255;

// A decoded picture: a 32-bit top-down DIB with premultiplied alpha, as AlphaBlend wants it.
struct DecodedPicture {
    UniqueBitmap bitmap;
    int width = 0;
    int height = 0;
};

int ResourceIdOf(PictureId id) {
    switch (id) {
    case PictureId::Close:
        return IDR_PICTURE_CLOSE;
    case PictureId::Menu:
        return IDR_PICTURE_MENU;
    case PictureId::Minimise:
        return IDR_PICTURE_MINIMISE;
    }
    return 0;
}

std::size_t IndexOf(PictureId id) {
    return static_cast<std::size_t>(id);
}

DecodedPicture Decode(IWICImagingFactory* factory, int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (info == nullptr) {
        return {};
    }
    const DWORD byteCount = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info); // resource memory lives as long as the module
    auto* bytes = static_cast<BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr || byteCount == 0) {
        return {};
    }

    IWICStream* rawStream = nullptr;
    if (FAILED(factory->CreateStream(&rawStream))) {
        return {};
    }
    UniqueCom<IWICStream> stream(rawStream);
    if (FAILED(stream.get()->InitializeFromMemory(bytes, byteCount))) {
        return {};
    }
    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                &rawDecoder))) {
        return {};
    }
    UniqueCom<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder.get()->GetFrame(0, &rawFrame))) {
        return {};
    }
    UniqueCom<IWICBitmapFrameDecode> frame(rawFrame);
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter))) {
        return {};
    }
    UniqueCom<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom))) {
        return {};
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter.get()->GetSize(&width, &height)) || width == 0 || height == 0) {
        return {};
    }

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = static_cast<LONG>(width);
    bmi.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down, like WIC's rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    DecodedPicture picture;
    picture.bitmap.reset(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture.bitmap || bits == nullptr) {
        return {};
    }
    const UINT stride = width * kBytesPerPixel;
    if (FAILED(converter.get()->CopyPixels(nullptr, stride, stride * height,
                                           static_cast<BYTE*>(bits)))) {
        return {};
    }
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return picture;
}

std::array<DecodedPicture, kPictureCount> DecodeAll() {
    std::array<DecodedPicture, kPictureCount> pictures;
    // The calling thread may already be in an apartment of either kind; WIC works in both. Only
    // a successful call here (S_OK, or S_FALSE when already initialised the same way) is undone.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(init) && init != RPC_E_CHANGED_MODE) {
        return pictures;
    }
    ScopeGuard uninit([] { CoUninitialize(); });
    if (FAILED(init)) {
        uninit.dismiss();
    }
    IWICImagingFactory* rawFactory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&rawFactory)))) {
        return pictures;
    }
    UniqueCom<IWICImagingFactory> factory(rawFactory);
    for (PictureId id : {PictureId::Close, PictureId::Menu, PictureId::Minimise}) {
        pictures[IndexOf(id)] = Decode(factory.get(), ResourceIdOf(id));
    }
    return pictures;
}

// Decoded on first use and kept for the life of the process: the pictures are redrawn on every
// paint of a title strip.
const DecodedPicture& PictureFor(PictureId id) {
    static const std::array<DecodedPicture, kPictureCount> pictures = DecodeAll();
    static const DecodedPicture none;
    const std::size_t index = IndexOf(id);
    return index < pictures.size() ? pictures[index] : none;
}

} // namespace

void DrawPicture(HDC dc, PictureId id, int x, int y, int size) {
    const DecodedPicture& picture = PictureFor(id);
    if (!picture.bitmap || dc == nullptr || size <= 0) {
        return;
    }
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    HGDIOBJ previous = SelectObject(source.get(), picture.bitmap.get());
    ScopeGuard restore([&] { SelectObject(source.get(), previous); });
    BLENDFUNCTION blend{AC_SRC_OVER, 0, kOpaque, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, size, size, source.get(), 0, 0, picture.width, picture.height, blend);
}

UniqueIcon LoadProgramIcon(int size) {
    return UniqueIcon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

} // namespace hkv
