// Pictures of one colour made with the system's own encoders (WIC), for the cover-art tests and
// the benchmark; and writing bytes to a file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tokalux::e2e {

// TranslucentPng: a PNG whose pixels all have an alpha of 128.
enum class PictureFormat { Png, Bmp, Gif, Jpeg, TranslucentPng };

// A width by height picture all of the colour 0x00RRGGBB, or (except GIF) with the colour
// rgbAt(x, y) at each pixel, encoded; empty when the encoder fails. Needs COM initialised on the
// calling thread.
std::vector<uint8_t> EncodePicture(PictureFormat format, uint32_t width, uint32_t height,
                                   uint32_t rgb,
                                   const std::function<uint32_t(uint32_t, uint32_t)>& rgbAt = {});

// The JPEG with the size in its frame header changed: its data decodes to a picture of that
// size (a decoder fills what the data lacks), as a made-to-hurt file's does. Unchanged when it
// has no baseline or progressive frame header.
std::vector<uint8_t> WithJpegSize(std::vector<uint8_t> jpeg, uint16_t width, uint16_t height);

// Writes bytes to path (made or replaced); false when that fails.
bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

// A folder of scratch files, removed with its contents at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring path);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Writes a file in the folder and answers its path; the test fails when it cannot.
  std::wstring Put(const std::wstring& name, const std::vector<uint8_t>& bytes);
  const std::wstring& path() const { return path_; }
  // The path in the form the Win32 file functions take at any length.
  static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

}  // namespace tokalux::e2e
