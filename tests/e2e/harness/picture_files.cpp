#include "harness/picture_files.h"

#include <wincodec.h>

#include <gtest/gtest.h>

#include <utility>

#include "base/com.h"
#include "base/win32_handles.h"

namespace tokalux::e2e {

std::vector<uint8_t> EncodePicture(PictureFormat format, uint32_t width, uint32_t height,
                                   uint32_t rgb,
                                   const std::function<uint32_t(uint32_t, uint32_t)>& rgbAt) {
  const bool translucent = format == PictureFormat::TranslucentPng;
  const GUID& container = format == PictureFormat::Png || translucent ? GUID_ContainerFormatPng
                          : format == PictureFormat::Bmp              ? GUID_ContainerFormatBmp
                          : format == PictureFormat::Gif              ? GUID_ContainerFormatGif
                                                                      : GUID_ContainerFormatJpeg;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.put()))) ||
      FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
      FAILED(factory->CreateEncoder(container, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), options.put())) ||
      FAILED(frame->Initialize(options.get())) || FAILED(frame->SetSize(width, height))) {
    return {};
  }
  // GIF takes palette indices: one entry of the colour, every pixel 0. The others take BGR, or
  // BGRA with the alpha.
  const bool indexed = format == PictureFormat::Gif;
  const WICPixelFormatGUID asked = indexed       ? GUID_WICPixelFormat8bppIndexed
                                   : translucent ? GUID_WICPixelFormat32bppBGRA
                                                 : GUID_WICPixelFormat24bppBGR;
  WICPixelFormatGUID pixelFormat = asked;
  if (FAILED(frame->SetPixelFormat(&pixelFormat)) || pixelFormat != asked) return {};
  const UINT bytesPerPixel = indexed ? 1 : translucent ? 4 : 3;
  const UINT stride = (width * bytesPerPixel + 3) / 4 * 4;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height, 0);
  if (indexed) {
    ComPtr<IWICPalette> palette;
    WICColor colour = 0xFF000000 | rgb;
    if (FAILED(factory->CreatePalette(palette.put())) ||
        FAILED(palette->InitializeCustom(&colour, 1)) || FAILED(frame->SetPalette(palette.get()))) {
      return {};
    }
  } else {
    for (UINT y = 0; y < height; ++y) {
      for (UINT x = 0; x < width; ++x) {
        BYTE* pixel = &pixels[y * stride + x * bytesPerPixel];
        const uint32_t colour = rgbAt ? rgbAt(x, y) : rgb;
        pixel[0] = static_cast<BYTE>(colour);
        pixel[1] = static_cast<BYTE>(colour >> 8);
        pixel[2] = static_cast<BYTE>(colour >> 16);
        if (translucent) pixel[3] = 128;
      }
    }
  }
  STATSTG stat{};
  HGLOBAL memory = nullptr;
  if (FAILED(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), pixels.data())) ||
      FAILED(frame->Commit()) || FAILED(encoder->Commit()) ||
      FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      FAILED(::GetHGlobalFromStream(stream.get(), &memory))) {
    return {};
  }
  const auto* bytes = static_cast<const uint8_t*>(::GlobalLock(memory));
  if (!bytes) return {};
  std::vector<uint8_t> encoded(bytes, bytes + stat.cbSize.QuadPart);
  ::GlobalUnlock(memory);
  return encoded;
}

std::vector<uint8_t> WithJpegSize(std::vector<uint8_t> jpeg, uint16_t width, uint16_t height) {
  for (std::size_t at = 2; at + 9 <= jpeg.size() && jpeg[at] == 0xFF;
       at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3])) {
    if (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2) {
      jpeg[at + 5] = static_cast<uint8_t>(height >> 8);
      jpeg[at + 6] = static_cast<uint8_t>(height);
      jpeg[at + 7] = static_cast<uint8_t>(width >> 8);
      jpeg[at + 8] = static_cast<uint8_t>(width);
      break;
    }
  }
  return jpeg;
}

bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

ScratchFolder::ScratchFolder(std::wstring path) : path_(std::move(path)) {
  ::CreateDirectoryW(Long(path_).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  for (auto it = files_.rbegin(); it != files_.rend(); ++it) ::DeleteFileW(Long(*it).c_str());
  ::RemoveDirectoryW(Long(path_).c_str());
}

std::wstring ScratchFolder::Put(const std::wstring& name, const std::vector<uint8_t>& bytes) {
  files_.push_back(path_ + L"\\" + name);
  EXPECT_TRUE(WriteBytes(Long(files_.back()), bytes)) << "cannot write a scratch file";
  return files_.back();
}

}  // namespace tokalux::e2e
