// What the player's path of the current entry says about where its picture may be. Pure string
// work on UTF-16 paths as the player gives them (backslashes or forward slashes).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tokalux {

// The longest path Windows opens (with the \\?\ prefix), in UTF-16 characters.
inline constexpr std::size_t MaxPathChars = 32767;

// Whether the path names a local or network file, whose tags or folder may hold a picture: a
// drive path ("C:\a\b.mp3", "C:/a/b.mp3") or a UNC path ("\\server\share\b.flac", also with
// forward slashes or the \\?\ prefix). A stream ("http://...", any "scheme://"), an audio CD track
// ("D:\Track01.cda", "cda://..."), a relative path and anything longer than MaxPathChars or with
// a zero in it are not.
bool IsTrackFile(std::u16string_view path);

// The folder of a file path with its trailing separator ("C:\a\b.mp3" -> "C:\a\",
// "\\server\share\b.flac" -> "\\server\share\"); empty when the path has no separator.
std::u16string_view FolderOf(std::u16string_view path);

// The path as the Win32 file functions take it: a path of MAX_PATH (260) characters or more gets
// the \\?\ prefix (\\?\UNC\ for a UNC path) with its forward slashes turned into backslashes,
// since the prefix turns off every other rewriting of the path. Shorter paths and paths that
// already have a \\?\ or \\.\ prefix stay as they are. ("." and ".." parts, which a player's
// paths do not have, are not resolved.)
std::u16string LongPathForm(std::u16string_view path);

// The rank of a file name among the pictures looked for beside a track, 0 best, or nullopt for
// any other name. Matched without regard to ASCII case, in this order:
//   folder, cover, front, AlbumArt*Large (any characters for the *), AlbumArtSmall
// each as .jpg, then as .png. The JPEG comes first where a folder has both: it is the name
// players and media libraries write and update, while a PNG of the same name is more often a
// leftover of an editing tool.
std::optional<int> SidePictureRank(std::u16string_view name);

// The side pictures among the names, best first (equal ranks in name order).
std::vector<std::u16string> SidePicturesInOrder(std::vector<std::u16string> names);

}  // namespace tokalux
