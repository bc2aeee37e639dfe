// libFuzzer target: the byte readers and the click arithmetic over arbitrary bytes from the
// player, the picture readers over arbitrary bytes from a music file or a picture's header, and
// the readers of what fonts hand over and the text fitting over arbitrary titles. Any crash,
// sanitizer report or broken invariant (a trap) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "art/embedded_picture.h"
#include "art/picture_readers.h"
#include "art/picture_size.h"
#include "art/track_path.h"
#include "display/click_arithmetic.h"
#include "display/control_ids.h"
#include "display/playlist_lines.h"
#include "player/player_messages.h"
#include "player/title_text.h"
#include "screen/command_line.h"
#include "text/font_cmap.h"
#include "text/font_fallback.h"
#include "text/text_fit.h"

namespace {

constexpr std::size_t npos16 = std::u16string::npos;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Fonts that cover some characters each and fall back somewhere, decided by the characters.
class AnyFonts final : public tokalux::FontSource {
 public:
  bool Covers(int font, char32_t c) override { return (c + static_cast<char32_t>(font)) % 3 != 0; }
  int Fallback(tokalux::Script, std::u32string_view chars) override {
    return static_cast<int>(chars.size() % 4);
  }
};

int32_t TakeInt32(std::string_view& bytes) {
  int32_t value = 0;
  const std::size_t n = bytes.size() < sizeof(value) ? bytes.size() : sizeof(value);
  std::memcpy(&value, bytes.data(), n);
  bytes.remove_prefix(n);
  return value;
}

// The picture readers over the bytes as a file. The first byte also picks a container's or a
// picture format's magic to put in front of the rest, so the fuzzer reaches each reader without
// finding its magic first.
void FuzzPictureReaders(std::string_view input) {
  const auto asBytes = [](std::string_view text) {
    return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  };
  using namespace std::string_view_literals;
  static constexpr std::string_view Magic[] = {""sv,
                                               "ID3"sv,
                                               "fLaC"sv,
                                               "OggS"sv,
                                               "ID3\x04"sv,
                                               "\0\0\0\x10"
                                               "ftyp"sv,
                                               "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv,
                                               "\xFF\xD8"sv,
                                               "GIF89a"sv,
                                               "BM"sv};
  const std::string file =
      input.empty() ? std::string()
                    : std::string(Magic[static_cast<uint8_t>(input[0]) % std::size(Magic)]) +
                          std::string(input.substr(1));
  for (const std::string_view bytes : {input, std::string_view(file)}) {
    tokalux::MemorySource source(asBytes(bytes));
    const auto picture = tokalux::FindEmbeddedPicture(source);
    Check(!picture || (!picture->empty() && picture->size() <= bytes.size()));
    // The size a picture declares.
    const auto size = tokalux::ReadPictureSize(asBytes(bytes));
    Check(!size || (size->width > 0 && size->height > 0 &&
                    size->decodedBytes >= uint64_t{size->width} * size->height));
    Check(tokalux::FitsDecodeBudget(asBytes(bytes)) ==
          (size && size->decodedBytes <= tokalux::DecodeBudgetBytes));
  }
  const auto decoded = tokalux::DecodeBase64(input);
  Check(!decoded || decoded->size() <= input.size() / 4 * 3 + 2);

  // The path rules on the bytes taken as characters.
  const std::u16string path(input.begin(), input.end());
  (void)tokalux::IsTrackFile(path);
  Check(path.starts_with(tokalux::FolderOf(path)));
  const std::u16string longForm = tokalux::LongPathForm(path);
  Check(longForm.size() >= path.size() && longForm.size() <= path.size() + 6);
  const auto rank = tokalux::SidePictureRank(path);
  Check(!rank || (*rank >= 0 && *rank < 10));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  FuzzPictureReaders(input);

  // The caption reader, on the bytes taken as characters: a prefix of the caption that stops
  // right before the first marker.
  const std::u16string caption(input.begin(), input.end());
  const std::u16string_view title = tokalux::SongTitleChars(caption);
  const std::u16string marker(u"- Winamp");
  Check(caption.compare(0, title.size(), title) == 0);
  Check(title.find(marker) == std::u16string_view::npos);
  Check(title.empty() || std::u16string_view(caption).substr(title.size()).starts_with(marker));
  Check(tokalux::CutSongTitle(caption).size() <= tokalux::SongTitleMaxChars);

  // The memory reader: at most one buffer, no zero inside.
  const std::string_view buffer = input.substr(0, tokalux::TitleBufferSize);
  const std::string_view entry = tokalux::TitleFromBuffer(buffer);
  Check(entry.size() <= tokalux::TitleBufferSize && entry.find('\0') == std::string_view::npos);

  // The same readers in UTF-16: any byte count, the caption rule on characters.
  const std::u16string wideEntry = tokalux::Utf16TitleFromBytes(input);
  Check(wideEntry.size() <= tokalux::Utf16TitleMaxChars && wideEntry.find(u'\0') == npos16);
  const std::u16string units = tokalux::DecodeUtf16Le(input);
  Check(units.size() == input.size() / 2);
  const std::u16string wideTitle = tokalux::SongTitleFromCaption(units);
  Check(wideTitle.size() <= tokalux::SongTitleMaxChars);
  Check(units.compare(0, wideTitle.size(), wideTitle) == 0);

  std::string_view rest = input;
  const auto address = static_cast<uint64_t>(static_cast<uint32_t>(TakeInt32(rest))) << 32 |
                       static_cast<uint32_t>(TakeInt32(rest));
  Check(tokalux::TitleAddress(address, true) <= 0xFFFF'FFFFu);
  const std::size_t toEnd = tokalux::BytesToPageEnd(address, 4096);
  Check(toEnd >= 1 && toEnd <= tokalux::TitleBufferSize);
  const std::size_t wideToEnd =
      tokalux::BytesToPageEnd(address, 4096, tokalux::Utf16TitleBufferSize);
  Check(wideToEnd >= toEnd && wideToEnd <= tokalux::Utf16TitleBufferSize);

  // The click arithmetic over any 16-bit values and any caption.
  const auto length = static_cast<int16_t>(TakeInt32(rest));
  const auto position = static_cast<int16_t>(TakeInt32(rest));
  // PL Begin always goes to 0; every other playlist button stays in the list, or sends nothing
  // when the list is empty.
  namespace id = tokalux::ControlId;
  Check(tokalux::PlaylistButtonIndex(id::cmdPLStart, length, position) == 0);
  for (const int button : {id::cmdPLEnd, id::cmdPLMitte, id::cmdPLp10, id::cmdPLm10}) {
    const auto index = tokalux::PlaylistButtonIndex(button, length, position);
    Check(length > 0 ? index && *index >= 0 && *index < length : !index);
  }
  const std::wstring wide(input.begin(), input.end());
  (void)tokalux::PlaylistLineIndex(wide);
  (void)tokalux::ParseStartMode(wide);

  // The window never spans more than fifteen lines, and holds the current entry when it can.
  const tokalux::PlaylistRange window = tokalux::ComputePlaylistWindow(length, position);
  Check(window.first > window.last || window.last - window.first + 1 <= 15);
  if (length >= 15 && position >= 1 && position <= length) {
    Check(window.first <= position && position <= window.last);
    Check(window.first >= 1 && window.last <= length && window.last - window.first == 14);
  }

  // A font's character map from any bytes: ranges in order, apart, within Unicode.
  if (const auto set = tokalux::ReadCmap(input)) {
    const auto& ranges = set->ranges();
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      Check(ranges[i].first <= ranges[i].second && ranges[i].second <= 0x10FFFF);
      Check(i == 0 || ranges[i].first > ranges[i - 1].second + 1);
    }
  }

  // Any title wrapped at any width: every unit on one line or in the break between two, in order,
  // each line starting where a cut may fall; the fonts' runs cover it all, in order.
  const std::vector<uint8_t> breaks = tokalux::TextBreaks(units);
  std::vector<int32_t> advances;
  for (std::size_t i = 0; i < units.size(); ++i) advances.push_back(units[i] % 23);
  const int32_t width = TakeInt32(rest) % 300;
  std::size_t next = 0;
  for (const tokalux::TextLine& line : tokalux::WrapLines(advances, breaks, width)) {
    Check(line.begin >= next && line.begin <= line.end && line.end <= units.size());
    Check(line.begin == 0 || (breaks[line.begin] & tokalux::CutBefore));
    for (std::size_t i = next; i < line.begin; ++i) Check(breaks[i] & tokalux::Space);
    next = line.end;
  }
  for (std::size_t i = next; i < units.size(); ++i) Check(breaks[i] & tokalux::Space);
  AnyFonts fonts;
  std::size_t covered = 0;
  for (const tokalux::FontRun& run : tokalux::AssignFonts(units, fonts)) {
    Check(run.begin == covered && run.end > run.begin);
    covered = run.end;
  }
  Check(covered == units.size());
  return 0;
}
