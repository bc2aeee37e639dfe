#include "art/picture_decoder.h"

#include <vector>

namespace tokalux {
namespace {

// WICBitmapInterpolationModeHighQualityCubic, which Windows 10's headers have and Windows 7's
// scaler refuses.
constexpr auto HighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

}  // namespace

PictureDecoder::PictureDecoder() {
  ::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(factory_.put()));
}

std::optional<Pixels> PictureDecoder::Decode(std::span<const uint8_t> bytes, int side) const {
  if (!factory_ || side < 1 || side > MaxSide || bytes.empty() || bytes.size() > MAXDWORD) {
    return std::nullopt;
  }
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
  // Premultiplied before it is scaled, so transparent edges blend as they should.
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory_->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return std::nullopt;
  }
  const SquareFit place = FitInSquare(width, height, side);
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
  const std::size_t first = static_cast<std::size_t>(place.y) * side + place.x;
  const WICRect rect{0, 0, place.width, place.height};
  if (FAILED(scaler->CopyPixels(&rect, static_cast<UINT>(side) * 4,
                                static_cast<UINT>((pixels.bgra.size() - first) * 4),
                                reinterpret_cast<BYTE*>(pixels.bgra.data() + first)))) {
    return std::nullopt;
  }
  return pixels;
}

}  // namespace tokalux
