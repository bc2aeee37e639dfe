// Where a track's picture may be: the kinds of path, the folder, the long form Windows opens, the
// names of pictures beside a track, and the square a picture is scaled into.
#include "art/track_path.h"

#include <gtest/gtest.h>

#include <string>

#include "art/pixels.h"

namespace tokalux {
namespace {

TEST(IsTrackFile, TakesLocalAndNetworkFilesOnly) {
  for (const char16_t* file :
       {u"C:\\Music\\a.mp3", u"c:/music/a.flac", u"\\\\server\\share\\b.flac", u"//nas/m/x.ogg",
        u"\\\\?\\C:\\long\\a.m4a", u"\\\\?\\UNC\\server\\share\\a.mp3", u"D:\\Track01.cda.mp3",
        u"C:\\odd name://x.mp3", u"C://music/a.mp3"}) {
    EXPECT_TRUE(IsTrackFile(file)) << std::u16string(file).size();
  }
  for (const char16_t* other :
       {u"", u"http://radio.example/stream", u"HTTPS://x/y.mp3", u"mms://host/a", u"cda://D,1",
        u"D:\\Track01.cda", u"d:\\TRACK02.CDA", u"a.mp3", u"Music\\a.mp3", u"\\Music\\a.mp3",
        u"C:a.mp3", u"\\\\", u"1x://host/a"}) {
    EXPECT_FALSE(IsTrackFile(other)) << std::u16string(other).size();
  }
  EXPECT_FALSE(IsTrackFile(std::u16string(u"C:\\a\0.mp3", 9)));
  const std::u16string longest = u"C:\\" + std::u16string(MaxPathChars - 3, u'a');
  EXPECT_TRUE(IsTrackFile(longest));
  EXPECT_FALSE(IsTrackFile(longest + u"a"));
}

TEST(FolderOf, KeepsTheTrailingSeparator) {
  EXPECT_EQ(FolderOf(u"C:\\a\\b.mp3"), u"C:\\a\\");
  EXPECT_EQ(FolderOf(u"C:\\b.mp3"), u"C:\\");
  EXPECT_EQ(FolderOf(u"\\\\server\\share\\b.flac"), u"\\\\server\\share\\");
  EXPECT_EQ(FolderOf(u"C:/a/b\\c/d.mp3"), u"C:/a/b\\c/");
  EXPECT_EQ(FolderOf(u"b.mp3"), u"");
}

TEST(LongPathForm, PrefixesPathsFromMaxPathOn) {
  const std::u16string name(260, u'n');
  EXPECT_EQ(LongPathForm(u"C:/a/b.mp3"), u"C:/a/b.mp3");
  const std::u16string justShort = u"C:\\" + std::u16string(256, u'n');  // 259 characters
  EXPECT_EQ(LongPathForm(justShort), justShort);
  EXPECT_EQ(LongPathForm(justShort + u"n"), u"\\\\?\\" + justShort + u"n");
  EXPECT_EQ(LongPathForm(u"C:/music/" + name), u"\\\\?\\C:\\music\\" + name);
  EXPECT_EQ(LongPathForm(u"\\\\server/share\\" + name), u"\\\\?\\UNC\\server\\share\\" + name);
  EXPECT_EQ(LongPathForm(u"//server/share/" + name), u"\\\\?\\UNC\\server\\share\\" + name);
  for (const std::u16string& kept :
       {u"\\\\?\\C:\\" + name + name, u"\\\\.\\pipe\\" + name + name, u"relative\\" + name}) {
    EXPECT_EQ(LongPathForm(kept), kept);
  }
}

TEST(SidePictures, TakesTheKnownNamesInTheirOrderWithoutRegardToCase) {
  const std::vector<std::u16string> names = {u"AlbumArtSmall.jpg",
                                             u"back.jpg",
                                             u"albumart_{0A1B}_large.PNG",
                                             u"Folder.PNG",
                                             u"cover.jpeg",
                                             u"FRONT.JPG",
                                             u"AlbumArt_{0A1B}_Large.jpg",
                                             u"AlbumArtLarge.jpg",
                                             u"Cover.png",
                                             u"folder.jpg.txt",
                                             u"albumartsmall.png",
                                             u"AlbumArt.jpg",
                                             u"xfolder.jpg",
                                             u"COVER.JPG",
                                             u"folder.jpg"};
  EXPECT_EQ(SidePicturesInOrder(names),
            (std::vector<std::u16string>{u"folder.jpg", u"Folder.PNG", u"COVER.JPG", u"Cover.png",
                                         u"FRONT.JPG", u"AlbumArtLarge.jpg",
                                         u"AlbumArt_{0A1B}_Large.jpg", u"albumart_{0A1B}_large.PNG",
                                         u"AlbumArtSmall.jpg", u"albumartsmall.png"}));
  EXPECT_EQ(SidePicturesInOrder({u"AlbumArtLarge.gif", u"large.jpg", u"albumart.png"}),
            std::vector<std::u16string>{});
}

TEST(FitInSquare, KeepsTheAspectRatioCentred) {
  const auto fit = [](uint32_t w, uint32_t h, int side) {
    const SquareFit p = FitInSquare(w, h, side);
    return std::vector<int>{p.x, p.y, p.width, p.height};
  };
  EXPECT_EQ(fit(500, 500, 300), (std::vector<int>{0, 0, 300, 300}));
  EXPECT_EQ(fit(10, 10, 300), (std::vector<int>{0, 0, 300, 300}));
  EXPECT_EQ(fit(400, 200, 300), (std::vector<int>{0, 75, 300, 150}));
  EXPECT_EQ(fit(200, 401, 300), (std::vector<int>{75, 0, 150, 300}));  // 149.6 rounds up
  EXPECT_EQ(fit(10000, 1, 300), (std::vector<int>{0, 149, 300, 1}));
  EXPECT_EQ(fit(0xFFFFFFFF, 0xFFFFFFFF, 4096), (std::vector<int>{0, 0, 4096, 4096}));
  EXPECT_EQ(fit(0, 10, 300), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(fit(10, 10, 0), (std::vector<int>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace tokalux
