#include "picture_decoder.h"

#include <wincodec.h>

#include <algorithm>

#include "Common/owned.h"

namespace {

template <class Interface>
struct ComPointer {
    using Value = Interface*;
    static Interface* empty() { return nullptr; }
    static void close(Interface* p) { p->Release(); }
};
template <class Interface>
using ComRef = bv::Owned<ComPointer<Interface>>;

// The size that fits maxSide, or the picture's own.
void fittedSize(UINT width, UINT height, UINT maxSide, UINT* w, UINT* h) {
    *w = width;
    *h = height;
    if (maxSide == 0 || (width <= maxSide && height <= maxSide)) return;
    if (width >= height) {
        *w = maxSide;
        *h = std::max(1u, height * maxSide / width);
    } else {
        *h = maxSide;
        *w = std::max(1u, width * maxSide / height);
    }
}

}  // namespace

HRESULT decodePicture(const std::vector<BYTE>& jpeg, UINT maxSide, Bitmap* bitmap) {
    ComRef<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.put()));
    if (FAILED(hr)) return hr;
    ComRef<IWICStream> stream;
    if (FAILED(hr = factory.get()->CreateStream(stream.put()))) return hr;
    if (FAILED(hr = stream.get()->InitializeFromMemory(const_cast<BYTE*>(jpeg.data()), static_cast<DWORD>(jpeg.size()))))
        return hr;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(hr = factory.get()->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                            decoder.put())))
        return hr;
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(hr = decoder.get()->GetFrame(0, frame.put()))) return hr;
    UINT width = 0, height = 0, w = 0, h = 0;
    if (FAILED(hr = frame.get()->GetSize(&width, &height))) return hr;
    fittedSize(width, height, maxSide, &w, &h);
    IWICBitmapSource* source = frame.get();
    ComRef<IWICBitmapScaler> scaler;
    if (w != width || h != height) {
        if (FAILED(hr = factory.get()->CreateBitmapScaler(scaler.put()))) return hr;
        if (FAILED(hr = scaler.get()->Initialize(frame.get(), w, h, WICBitmapInterpolationModeFant))) return hr;
        source = scaler.get();
    }
    ComRef<IWICFormatConverter> converter;
    if (FAILED(hr = factory.get()->CreateFormatConverter(converter.put()))) return hr;
    if (FAILED(hr = converter.get()->Initialize(source, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                                nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return hr;
    Bitmap decoded;
    decoded.width = w;
    decoded.height = h;
    decoded.bgr.resize(size_t{w} * h * 3);
    if (FAILED(hr = converter.get()->CopyPixels(nullptr, w * 3, static_cast<UINT>(decoded.bgr.size()),
                                                decoded.bgr.data())))
        return hr;
    *bitmap = std::move(decoded);
    return S_OK;
}

HRESULT encodePicture(const Bitmap& bitmap, std::vector<BYTE>* jpeg) {
    ComRef<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.put()));
    if (FAILED(hr)) return hr;
    ComRef<IStream> stream;
    if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return hr;
    ComRef<IWICBitmapEncoder> encoder;
    if (FAILED(hr = factory.get()->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put()))) return hr;
    if (FAILED(hr = encoder.get()->Initialize(stream.get(), WICBitmapEncoderNoCache))) return hr;
    ComRef<IWICBitmapFrameEncode> frame;
    if (FAILED(hr = encoder.get()->CreateNewFrame(frame.put(), nullptr))) return hr;
    if (FAILED(hr = frame.get()->Initialize(nullptr))) return hr;
    if (FAILED(hr = frame.get()->SetSize(bitmap.width, bitmap.height))) return hr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(hr = frame.get()->SetPixelFormat(&format))) return hr;
    if (format != GUID_WICPixelFormat24bppBGR) return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (FAILED(hr = frame.get()->WritePixels(bitmap.height, bitmap.width * 3, static_cast<UINT>(bitmap.bgr.size()),
                                             const_cast<BYTE*>(bitmap.bgr.data()))))
        return hr;
    if (FAILED(hr = frame.get()->Commit()) || FAILED(hr = encoder.get()->Commit())) return hr;
    HGLOBAL memory = nullptr;
    if (FAILED(hr = GetHGlobalFromStream(stream.get(), &memory))) return hr;
    STATSTG stat = {};
    if (FAILED(hr = stream.get()->Stat(&stat, STATFLAG_NONAME))) return hr;
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    if (!bytes) return E_OUTOFMEMORY;
    jpeg->assign(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return S_OK;
}

ComApartment::ComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (hr == S_OK) ours_ = true;
    // Already initialised: give the extra count back at once, so the
    // thread's COM stays exactly the application's.
    else if (hr == S_FALSE) CoUninitialize();
}

ComApartment::~ComApartment() {
    if (ours_) CoUninitialize();
}
