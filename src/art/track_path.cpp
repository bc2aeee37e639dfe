#include "art/track_path.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tokalux {
namespace {

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Whether text equals pattern (lower-case ASCII) without regard to ASCII case.
bool EqualsFolded(std::u16string_view text, std::u16string_view pattern) {
  return text.size() == pattern.size() &&
         std::equal(text.begin(), text.end(), pattern.begin(),
                    [](char16_t a, char16_t b) { return AsciiLower(a) == b; });
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualsFolded(text.substr(0, prefix.size()), prefix);
}

bool EndsWithFolded(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsFolded(text.substr(text.size() - suffix.size()), suffix);
}

// "scheme://": a letter, then letters, digits, '+', '-' or '.', two characters at least (a
// single letter before ":/" is a drive).
bool HasScheme(std::u16string_view path) {
  const std::size_t colon = path.find(u"://");
  if (colon == std::u16string_view::npos || colon < 2 || !IsAsciiLetter(path[0])) return false;
  return std::all_of(
      path.begin(), path.begin() + static_cast<std::ptrdiff_t>(colon), [](char16_t c) {
        return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
      });
}

bool IsDrivePath(std::u16string_view path) {
  return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]);
}

// "\\server\..." (or with forward slashes), which includes the \\?\ and \\.\ forms.
bool IsUncPath(std::u16string_view path) {
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace

bool IsTrackFile(std::u16string_view path) {
  if (path.size() > MaxPathChars || path.find(u'\0') != std::u16string_view::npos) return false;
  if (HasScheme(path) || EndsWithFolded(path, u".cda")) return false;
  return IsDrivePath(path) || IsUncPath(path);
}

std::u16string_view FolderOf(std::u16string_view path) {
  const std::size_t last = path.find_last_of(u"\\/");
  return last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last + 1);
}

std::u16string LongPathForm(std::u16string_view path) {
  constexpr std::size_t MaxPath = 260;
  if (path.size() < MaxPath || path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\")) {
    return std::u16string(path);
  }
  std::u16string backslashed(path);
  std::replace(backslashed.begin(), backslashed.end(), u'/', u'\\');
  if (IsUncPath(path)) return u"\\\\?\\UNC\\" + backslashed.substr(2);
  if (IsDrivePath(path)) return u"\\\\?\\" + backslashed;
  return std::u16string(path);
}

std::optional<int> SidePictureRank(std::u16string_view name) {
  // Each name's stem, lower-case; "AlbumArt*Large" is a prefix and a suffix around any text.
  struct Stem {
    std::u16string_view prefix;
    std::u16string_view suffix;
  };
  static constexpr std::array<Stem, 5> Stems = {{{u"folder", u""},
                                                 {u"cover", u""},
                                                 {u"front", u""},
                                                 {u"albumart", u"large"},
                                                 {u"albumartsmall", u""}}};
  static constexpr std::array<std::u16string_view, 2> Extensions = {u".jpg", u".png"};
  int rank = 0;
  for (const Stem& stem : Stems) {
    for (const std::u16string_view extension : Extensions) {
      if (EndsWithFolded(name, extension)) {
        const std::u16string_view rest = name.substr(0, name.size() - extension.size());
        const bool matches = stem.suffix.empty()
                                 ? EqualsFolded(rest, stem.prefix)
                                 : rest.size() >= stem.prefix.size() + stem.suffix.size() &&
                                       StartsWithFolded(rest, stem.prefix) &&
                                       EndsWithFolded(rest, stem.suffix);
        if (matches) return rank;
      }
      ++rank;
    }
  }
  return std::nullopt;
}

std::vector<std::u16string> SidePicturesInOrder(std::vector<std::u16string> names) {
  std::vector<std::pair<int, std::u16string>> ranked;
  for (std::u16string& name : names) {
    if (const auto rank = SidePictureRank(name)) ranked.emplace_back(*rank, std::move(name));
  }
  std::sort(ranked.begin(), ranked.end());
  std::vector<std::u16string> ordered;
  for (auto& entry : ranked) ordered.push_back(std::move(entry.second));
  return ordered;
}

}  // namespace tokalux
