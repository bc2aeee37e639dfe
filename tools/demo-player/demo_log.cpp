#include "demo_log.h"

#include <array>
#include <charconv>

#include "base/wide_text.h"
#include "demo_protocol.h"
#include "demo_text.h"

namespace tokalux::demo {

namespace {

// Appends text to a fixed buffer; the lines of numbers fit, with room to spare.
class LineBuffer {
 public:
  void Add(std::string_view text) {
    for (const char c : text) {
      if (size_ < data_.size()) data_[size_++] = c;
    }
  }
  void Add(int64_t number) {
    const auto [end, error] =
        std::to_chars(data_.data() + size_, data_.data() + data_.size(), number);
    if (error == std::errc{}) size_ = static_cast<std::size_t>(end - data_.data());
  }
  const char* data() const { return data_.data(); }
  std::size_t size() const { return size_; }

 private:
  std::array<char, 64> data_{};
  std::size_t size_ = 0;
};

}  // namespace

bool DemoLog::Open(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring widePath = Wide(DecodeUtf8(path));
  file_ = UniqueFile(::CreateFileW(widePath.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file_);
}

void DemoLog::Write(const char* line, std::size_t size) {
  if (!file_) return;
  DWORD written = 0;
  ::WriteFile(file_.get(), line, static_cast<DWORD>(size), &written, nullptr);
}

void DemoLog::Command(int32_t identifier) {
  LineBuffer line;
  line.Add(LogCommand);
  line.Add(identifier);
  line.Add("\n");
  Write(line.data(), line.size());
}

void DemoLog::Request(int32_t number, int64_t wparam) {
  LineBuffer line;
  line.Add(LogRequest);
  line.Add(number);
  line.Add(" ");
  line.Add(wparam);
  line.Add("\n");
  Write(line.data(), line.size());
}

void DemoLog::Control(std::string_view text) {
  if (!file_) return;
  std::string line = LogControl;
  line.reserve(line.size() + text.size() + 1);
  constexpr char hex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {  // keep the entry on one line
      line += "\\x";
      line += hex[byte >> 4];
      line += hex[byte & 0x0F];
    } else {
      line += c;
    }
  }
  line += '\n';
  Write(line.data(), line.size());
}

void DemoLog::FileDialog() {
  const std::string line = std::string(LogFileDialog) + "\n";
  Write(line.data(), line.size());
}

void DemoLog::Line(std::string_view text) {
  const std::string line = std::string(text) + "\n";
  Write(line.data(), line.size());
}

void DemoLog::Clear() {
  if (!file_) return;
  LARGE_INTEGER start{};
  ::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN);
  ::SetEndOfFile(file_.get());
}

}  // namespace tokalux::demo
