#include "art/picture_decoder.h"

#include <algorithm>
#include <vector>

#include "art/picture_size.h"

namespace tokalux {
namespace {

// WICBitmapInterpolationModeHighQualityCubic, which Windows 10's headers have and Windows 7's
// scaler refuses.
constexpr auto HighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

// IWICBitmapSourceTransform as Windows documents it (mingw-w64's headers lack it): a frame that
// decodes at other sizes, formats and orientations than its own.
struct SourceTransform : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride,
                                               UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL* supported) = 0;
};

// The frame decoded at the smallest size its decoder makes by itself (IWICBitmapSourceTransform:
// Windows' JPEG decoder makes 1/2, 1/4 and 1/8 of the size as it decodes) that is not below
// width by height, in the frame's own pixel format; nothing where the decoder offers no smaller
// size than the whole.
ComPtr<IWICBitmap> ReducedDecode(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame,
                                 UINT fullWidth, UINT fullHeight, UINT width, UINT height) {
  ComPtr<SourceTransform> transform;
  if (FAILED(frame.QueryInterface(IID_WICBitmapSourceTransform,
                                  reinterpret_cast<void**>(transform.put())))) {
    return {};
  }
  UINT reducedWidth = fullWidth, reducedHeight = fullHeight;
  for (const UINT divisor : {8u, 4u, 2u}) {  // the smallest first
    UINT w = (fullWidth + divisor - 1) / divisor, h = (fullHeight + divisor - 1) / divisor;
    if (SUCCEEDED(transform->GetClosestSize(&w, &h)) && w >= width && h >= height &&
        w < reducedWidth && h < reducedHeight) {
      reducedWidth = w;
      reducedHeight = h;
      break;
    }
  }
  WICPixelFormatGUID format{};
  if (reducedWidth == fullWidth || FAILED(frame.GetPixelFormat(&format)) ||
      FAILED(transform->GetClosestPixelFormat(&format))) {
    return {};
  }
  ComPtr<IWICBitmap> bitmap;
  ComPtr<IWICBitmapLock> lock;
  const WICRect all{0, 0, static_cast<INT>(reducedWidth), static_cast<INT>(reducedHeight)};
  UINT stride = 0, size = 0;
  BYTE* data = nullptr;
  if (FAILED(factory.CreateBitmap(reducedWidth, reducedHeight, format, WICBitmapCacheOnLoad,
                                  bitmap.put())) ||
      FAILED(bitmap->Lock(&all, WICBitmapLockWrite, lock.put())) ||
      FAILED(lock->GetStride(&stride)) || FAILED(lock->GetDataPointer(&size, &data)) ||
      FAILED(transform->CopyPixels(nullptr, reducedWidth, reducedHeight, &format,
                                   WICBitmapTransformRotate0, stride, size, data))) {
    return {};
  }
  return bitmap;
}

}  // namespace

PictureDecoder::PictureDecoder() {
  ::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(factory_.put()));
}

std::optional<Pixels> PictureDecoder::Decode(std::span<const uint8_t> bytes, int side) const {
  if (!factory_ || side < 1 || side > MaxSide || bytes.empty() || bytes.size() > MAXDWORD) {
    return std::nullopt;
  }
  // Nothing too large to decode reaches a decoder: some decode the whole picture as they are
  // made.
  if (!FitsDecodeBudget(bytes)) return std::nullopt;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  // WIC only reads the memory it is given.
  if (FAILED(factory_->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory_->CreateDecoderFromStream(stream.get(), nullptr,
                                               WICDecodeMetadataCacheOnDemand, decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
      width == 0 || height == 0 || uint64_t{width} * height > MaxPicturePixels) {
    return std::nullopt;
  }
  const SquareFit place = FitInSquare(width, height, side);
  const ComPtr<IWICBitmap> reduced =
      ReducedDecode(*factory_.get(), *frame.get(), width, height, static_cast<UINT>(place.width),
                    static_cast<UINT>(place.height));
  IWICBitmapSource* const source =
      reduced ? static_cast<IWICBitmapSource*>(reduced.get()) : frame.get();
  // Premultiplied before it is scaled, so transparent edges blend as they should.
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory_->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return std::nullopt;
  }
  ComPtr<IWICBitmapScaler> scaler;
  for (const WICBitmapInterpolationMode mode : {HighQualityCubic, WICBitmapInterpolationModeFant}) {
    if (SUCCEEDED(factory_->CreateBitmapScaler(scaler.put())) &&
        SUCCEEDED(scaler->Initialize(converter.get(), static_cast<UINT>(place.width),
                                     static_cast<UINT>(place.height), mode))) {
      break;
    }
    scaler.reset();
  }
  if (!scaler) return std::nullopt;

  Pixels pixels{side, side, std::vector<uint32_t>(static_cast<std::size_t>(side) * side, 0)};
  // In bands of rows: a scaler may read all the source rows a call needs at once, converted,
  // and for the whole picture that is four bytes a pixel of it (Wine's does).
  constexpr int BandRows = 32;
  for (int row = 0; row < place.height; row += BandRows) {
    const std::size_t first = static_cast<std::size_t>(place.y + row) * side + place.x;
    const WICRect band{0, row, place.width, std::min(BandRows, place.height - row)};
    if (FAILED(scaler->CopyPixels(&band, static_cast<UINT>(side) * 4,
                                  static_cast<UINT>((pixels.bgra.size() - first) * 4),
                                  reinterpret_cast<BYTE*>(pixels.bgra.data() + first)))) {
      return std::nullopt;
    }
  }
  return pixels;
}

}  // namespace tokalux
