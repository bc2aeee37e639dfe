#include "demo_playlist.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "demo_text.h"

namespace tokalux::demo {
namespace {

constexpr std::array<const char*, 11> Artists = {
    "The Quiet Engines", "Mara Lindqvist", "Northbound Static", "Orla & The Tides",
    "Pixel Harbour",     "Juno Falk",      "Sundial Choir",     "Velvet Circuit",
    "Kasimir Drei",      "Lowland Radio",  "Amber Wires"};
constexpr std::array<const char*, 13> FirstWords = {
    "Midnight", "Paper", "Silver",  "Electric", "Hollow",   "Summer", "Distant",
    "Neon",     "Glass", "Falling", "Golden",   "Northern", "Quiet"};
constexpr std::array<const char*, 13> SecondWords = {
    "Lights", "Rivers",  "Avenue", "Dreams",  "Static", "Gardens", "Signals",
    "Echoes", "Harbour", "Skies",  "Letters", "Motion", "Hearts"};
constexpr std::array<int32_t, 5> SampleRates = {44, 48, 44, 32, 22};
constexpr std::array<int32_t, 6> BitRates = {192, 128, 320, 256, 160, 96};

}  // namespace

std::vector<Entry> GeneratedPlaylist(std::size_t count) {
  std::vector<Entry> entries;
  entries.reserve(count);
  constexpr std::size_t combinations = Artists.size() * FirstWords.size();
  for (std::size_t i = 0; i < count; ++i) {
    Entry entry;
    std::string title = std::string(Artists[i % Artists.size()]) + " - " +
                        FirstWords[(i / Artists.size()) % FirstWords.size()] + " " +
                        SecondWords[(i * 5 + i / Artists.size()) % SecondWords.size()];
    if (i >= combinations) title += " (Take " + std::to_string(i / combinations + 1) + ")";
    // A library's file for it (which no disk here has: no picture).
    entry.path = Ascii16("C:\\Music\\" + std::string(Artists[i % Artists.size()]) + "\\" +
                         std::to_string(i + 1) + " " + title + ".mp3");
    entry.title = Ascii16(title);
    entry.lengthS = static_cast<int32_t>(90 + (i * 53) % 331);
    entry.stream = {SampleRates[i % SampleRates.size()], BitRates[i % BitRates.size()],
                    i % 7 == 6 ? 1 : 2};
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<Entry>> ParsePlaylist(std::string_view text) {
  std::vector<Entry> entries;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    Entry entry;
    const std::size_t tab = line.find('\t');
    if (tab != std::string_view::npos) {
      std::string_view length = line.substr(tab + 1);
      const std::size_t pathTab = length.find('\t');
      if (pathTab != std::string_view::npos) {
        const std::string_view path = length.substr(pathTab + 1);
        if (path.size() > MaxPathBytes) return std::nullopt;
        entry.path = DecodeUtf8(path);
        length = length.substr(0, pathTab);
      }
      if (!length.empty() || pathTab == std::string_view::npos) {
        const auto seconds = ParseInRange<int32_t>(length, StreamLengthS, MaxTrackLengthS);
        if (!seconds) return std::nullopt;
        entry.lengthS = *seconds;
      }
      line = line.substr(0, tab);
    }
    if (line.size() > MaxTitleBytes || entries.size() == MaxEntries) return std::nullopt;
    entry.title = DecodeUtf8(line);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<Entry>> ReadPlaylistFile(std::string_view path) {
  if (path.empty()) return std::nullopt;
  // The path is UTF-8, like every control command's text.
  std::ifstream file{std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary};
  if (!file) return std::nullopt;
  constexpr std::size_t maxFileBytes = 64u << 20;
  std::string text;
  std::array<char, 64 * 1024> chunk;
  while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
    text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    if (text.size() > maxFileBytes) return std::nullopt;
  }
  if (file.bad()) return std::nullopt;
  return ParsePlaylist(text);
}

}  // namespace tokalux::demo
