#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "tool/IsoNames.h"

#include "common/Utf8.h"

TEST(ToolIsoNames, FileNamesPerLevel) {
  const std::string dat = "dat";
  const struct {
    std::string raw;
    IsoLevel level;
    const std::string* extension;
    std::string expected;
  } cases[] = {
      {"readme.txt", IsoLevel::Level1, nullptr, "README.TXT"},
      {"a long name-x.text", IsoLevel::Level1, nullptr, "A_LONG_N.TEX"},
      {"README", IsoLevel::Level1, nullptr, "README."},
      {"a.b.c", IsoLevel::Level1, nullptr, "A_B.C"},
      {".bashrc", IsoLevel::Level1, nullptr, "_BASHRC."},
      {"clip.mpg", IsoLevel::Level1, &dat, "CLIP.DAT"},
      {"clip", IsoLevel::Level2, &dat, "CLIP.DAT"},
      {"a very long file name that goes on.text", IsoLevel::Level2, nullptr, "A_VERY_LONG_FILE_NAME_THAT.TEXT"},
      {"My long-name File.text", IsoLevel::Ascii, nullptr, "My long-name File.text"},
      {"semi;colon\\back\x01.txt", IsoLevel::Ascii, nullptr, "semi_colon_back_.txt"},
      {"noext", IsoLevel::Ascii, nullptr, "noext."},
      {"..", IsoLevel::Ascii, nullptr, "_."},
      {"clip.mpg", IsoLevel::Ascii, &dat, "clip.dat"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MapFileName(c.raw, c.level, c.extension).Identifier(), c.expected) << c.raw;
}

TEST(ToolIsoNames, AsciiNamesAreCutTo200BytesKeepingTheExtension) {
  const FileName f = MapFileName(std::string(300, 'n') + ".mpeg", IsoLevel::Ascii, nullptr);
  EXPECT_EQ(f.Identifier().size(), 200u);
  EXPECT_EQ(f.extension, "mpeg");
}

TEST(ToolIsoNames, FolderNamesPerLevel) {
  EXPECT_EQ(MapFolderName("video clips", IsoLevel::Level1), "VIDEO_CL");
  EXPECT_EQ(MapFolderName("sub.dir", IsoLevel::Level2), "SUB_DIR");
  EXPECT_EQ(MapFolderName(std::string(40, 'x'), IsoLevel::Level2), std::string(31, 'X'));
  EXPECT_EQ(MapFolderName("SUB DIR.X", IsoLevel::Ascii), "SUB DIR.X");
  EXPECT_EQ(MapFolderName(std::string(250, 'd'), IsoLevel::Ascii).size(), 200u);
}

TEST(ToolIsoNames, NumberedNamesStayWithinTheLimits) {
  EXPECT_EQ(NumberedFileName({"ABCDEFGH", "TXT"}, IsoLevel::Level1, 1).Identifier(), "ABCDEFG1.TXT");
  EXPECT_EQ(NumberedFileName({"AB", "TXT"}, IsoLevel::Level1, 12).Identifier(), "AB12.TXT");
  EXPECT_EQ(NumberedFileName({std::string(26, 'A'), "TEXT"}, IsoLevel::Level2, 3).name.size(), 26u);
  EXPECT_EQ(NumberedFolderName("VIDEOCLP", IsoLevel::Level1, 10), "VIDEOC10");
  EXPECT_EQ(ClashKey("Read.Me.", false), "read.me");
}

TEST(ToolIsoNames, RecordOrderComparesNameThenExtensionWithSpacePadding) {
  // "A.B" before "A_.B": the names "A" and "A_" compare as "A " < "A_".
  EXPECT_TRUE(RecordLess("A.B", false, "A_.B", false));
  EXPECT_TRUE(RecordLess("AB.Z", false, "ABC.A", false));
  EXPECT_TRUE(RecordLess("X.A", false, "X.B", false));
  EXPECT_TRUE(RecordLess("SUB", true, "SUB.TXT", false));
  EXPECT_FALSE(RecordLess("SUB.TXT", false, "SUB", true));
  EXPECT_TRUE(RecordLess("Zed", true, "apple.", false));  // bytes: upper case first
}

TEST(ToolIsoNames, PaddedComparisonAgreesWithComparingPaddedCopies) {
  // Short strings over bytes below, at and above the space, and high bytes:
  // every order of prefixes, equal parts and tails is met.
  const std::string alphabet = std::string("\x01 !A\xff", 5);
  std::mt19937 random(21);
  for (int i = 0; i < 20000; ++i) {
    std::string a, b;
    for (std::string* s : {&a, &b})
      for (std::size_t n = random() % 5; n > 0; --n) s->push_back(alphabet[random() % alphabet.size()]);
    const std::size_t width = std::max(a.size(), b.size());
    std::string paddedA = a, paddedB = b;
    paddedA.resize(width, ' ');
    paddedB.resize(width, ' ');
    const int expected = paddedA == paddedB ? 0 : (std::memcmp(paddedA.data(), paddedB.data(), width) < 0 ? -1 : 1);
    ASSERT_EQ(ComparePadded(a, b), expected) << '"' << a << "\" against \"" << b << '"';
  }
}

TEST(ToolIsoNames, VolumeIdentifier) {
  EXPECT_EQ(MapVolumeName("Bren vox-1"), "BREN_VOX_1");
  EXPECT_EQ(MapVolumeName(std::string(40, 'v')), std::string(32, 'V'));
}

TEST(ToolIsoNames, DCharactersAreMappedByCharacterNotByByte) {
  EXPECT_EQ(MapVolumeName("ascii \xC3\xBCn\xC3\xAF"), "ASCII__N_");                        // "ascii ünï"
  EXPECT_EQ(MapFileName("\xE6\x97\xA5\xE6\x9C\xAC.txt", IsoLevel::Level1, nullptr).Identifier(), "__.TXT");  // two CJK
  EXPECT_EQ(MapFolderName("\xF0\x9F\x8E\xB5music", IsoLevel::Level2), "_MUSIC");            // a 4-byte character
  // Bytes that start no UTF-8 character (Latin-1, a lone lead byte) are one '_' each.
  EXPECT_EQ(MapFolderName("caf\xE9-\xC3", IsoLevel::Level1), "CAF___");
  // 0xC0 and 0xC1 start no character (they could only spell ASCII over again).
  EXPECT_EQ(MapFileName("n\xC0\xA0.txt", IsoLevel::Level1, nullptr).Identifier(), "N__.TXT");
  EXPECT_EQ(MapFolderName("n\xC1\xBF", IsoLevel::Level2), "N__");
  // Nor do an encoded surrogate, an overlong form or a code point past U+10FFFF.
  EXPECT_EQ(MapFolderName("s\xED\xA0\x80", IsoLevel::Level2), "S___");
  EXPECT_EQ(MapFolderName("o\xE0\x9F\xBF", IsoLevel::Level2), "O___");
  EXPECT_EQ(MapFolderName("p\xF4\x90\x80\x80", IsoLevel::Level2), "P____");
}

TEST(ToolIsoNames, AsciiCutsNeverSplitACharacter) {
  const std::string u = "\xC3\xBC";  // ü, 2 bytes
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += u;  // 300 bytes
  for (const std::string& prefix : {std::string(), std::string("x")}) {
    const FileName f = MapFileName(prefix + longName + ".txt", IsoLevel::Ascii, nullptr);
    EXPECT_TRUE(IsValidUtf8(f.name)) << prefix.size();
    EXPECT_LE(f.Identifier().size(), 200u);
    EXPECT_GE(f.Identifier().size(), 199u);
    EXPECT_EQ(f.extension, "txt");
    const std::string folder = MapFolderName(prefix + longName, IsoLevel::Ascii);
    EXPECT_TRUE(IsValidUtf8(folder)) << prefix.size();
    EXPECT_GE(folder.size(), 199u);
    EXPECT_TRUE(IsValidUtf8(NumberedFolderName(folder, IsoLevel::Ascii, 7)));
    EXPECT_TRUE(IsValidUtf8(NumberedFileName(f, IsoLevel::Ascii, 12).name));
  }
  // A DEL byte is a control byte like the others.
  EXPECT_EQ(MapFileName("del\x7Fname.txt", IsoLevel::Ascii, nullptr).Identifier(), "del_name.txt");
}
