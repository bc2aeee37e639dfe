// The demo player's playlists: their entries, a generated list of any length, and the playlist
// file format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tokalux::demo {

struct StreamDetails {
  int32_t sampleRateKhz = 44;
  int32_t bitRateKbps = 192;
  int32_t channels = 2;
};

// The length of an entry that is a stream (an internet radio): it never ends and cannot seek.
inline constexpr int32_t StreamLengthS = -1;

struct Entry {
  std::u16string title;
  int32_t lengthS = 180;  // or StreamLengthS
  StreamDetails stream;
  // The title's bytes in the system's ANSI code page, as an older player keeps it; set when the
  // entry is stored.
  std::string ansiTitle;
  // The entry's file (or a stream's address), and its bytes in the code page likewise.
  std::u16string path;
  std::string ansiPath;
};

// A track's length in seconds stays at most this, so its length in ms fits in 32 bits.
inline constexpr int32_t MaxTrackLengthS = 2'147'483;
inline constexpr std::size_t MaxEntries = 100'000;
inline constexpr std::size_t MaxTitleBytes = 1 << 20;
inline constexpr std::size_t MaxPathBytes = 4 * 32767;  // 32767 characters in UTF-8
// N entries with varied artists, titles, lengths and stream details; the same N gives the same
// list every time.
std::vector<Entry> GeneratedPlaylist(std::size_t count);

// A playlist file's text (UTF-8): one title per line, optionally followed by a TAB and the length
// in seconds (-1: a stream), and by another TAB and the entry's file path (an empty length keeps
// the default). Blank lines are skipped and CR LF line ends accepted. nullopt when a length is not
// a number in -1..MaxTrackLengthS, a title or path is too long or there are too many entries.
std::optional<std::vector<Entry>> ParsePlaylist(std::string_view text);

// The playlist file at a UTF-8 path, read and parsed; nullopt when it cannot be read, is larger
// than 64 MiB or does not parse.
std::optional<std::vector<Entry>> ReadPlaylistFile(std::string_view path);

}  // namespace tokalux::demo
