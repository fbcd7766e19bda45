#include <gtest/gtest.h>

#include "tool/IsoNames.h"

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
    EXPECT_EQ(mapFileName(c.raw, c.level, c.extension).identifier(), c.expected) << c.raw;
}

TEST(ToolIsoNames, AsciiNamesAreCutTo200BytesKeepingTheExtension) {
  const FileName f = mapFileName(std::string(300, 'n') + ".mpeg", IsoLevel::Ascii, nullptr);
  EXPECT_EQ(f.identifier().size(), 200u);
  EXPECT_EQ(f.extension, "mpeg");
}

TEST(ToolIsoNames, FolderNamesPerLevel) {
  EXPECT_EQ(mapFolderName("video clips", IsoLevel::Level1), "VIDEO_CL");
  EXPECT_EQ(mapFolderName("sub.dir", IsoLevel::Level2), "SUB_DIR");
  EXPECT_EQ(mapFolderName(std::string(40, 'x'), IsoLevel::Level2), std::string(31, 'X'));
  EXPECT_EQ(mapFolderName("SUB DIR.X", IsoLevel::Ascii), "SUB DIR.X");
  EXPECT_EQ(mapFolderName(std::string(250, 'd'), IsoLevel::Ascii).size(), 200u);
}

TEST(ToolIsoNames, NumberedNamesStayWithinTheLimits) {
  EXPECT_EQ(numberedFileName({"ABCDEFGH", "TXT"}, IsoLevel::Level1, 1).identifier(), "ABCDEFG1.TXT");
  EXPECT_EQ(numberedFileName({"AB", "TXT"}, IsoLevel::Level1, 12).identifier(), "AB12.TXT");
  EXPECT_EQ(numberedFileName({std::string(26, 'A'), "TEXT"}, IsoLevel::Level2, 3).name.size(), 26u);
  EXPECT_EQ(numberedFolderName("VIDEOCLP", IsoLevel::Level1, 10), "VIDEOC10");
  EXPECT_EQ(clashKey("Read.Me.", false), "read.me");
}

TEST(ToolIsoNames, RecordOrderComparesNameThenExtensionWithSpacePadding) {
  // "A.B" before "A_.B": the names "A" and "A_" compare as "A " < "A_".
  EXPECT_TRUE(recordLess("A.B", false, "A_.B", false));
  EXPECT_TRUE(recordLess("AB.Z", false, "ABC.A", false));
  EXPECT_TRUE(recordLess("X.A", false, "X.B", false));
  EXPECT_TRUE(recordLess("SUB", true, "SUB.TXT", false));
  EXPECT_FALSE(recordLess("SUB.TXT", false, "SUB", true));
  EXPECT_TRUE(recordLess("Zed", true, "apple.", false));  // bytes: upper case first
}

TEST(ToolIsoNames, VolumeIdentifier) {
  EXPECT_EQ(mapVolumeName("Bren vox-1"), "BREN_VOX_1");
  EXPECT_EQ(mapVolumeName(std::string(40, 'v')), std::string(32, 'V'));
}

// A byte string is valid UTF-8 when every lead byte has all its continuation bytes.
bool wholeUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

TEST(ToolIsoNames, DCharactersAreMappedByCharacterNotByByte) {
  EXPECT_EQ(mapVolumeName("ascii \xC3\xBCn\xC3\xAF"), "ASCII__N_");                        // "ascii ünï"
  EXPECT_EQ(mapFileName("\xE6\x97\xA5\xE6\x9C\xAC.txt", IsoLevel::Level1, nullptr).identifier(), "__.TXT");  // two CJK
  EXPECT_EQ(mapFolderName("\xF0\x9F\x8E\xB5music", IsoLevel::Level2), "_MUSIC");            // a 4-byte character
  // Bytes that start no UTF-8 character (Latin-1, a lone lead byte) are one '_' each.
  EXPECT_EQ(mapFolderName("caf\xE9-\xC3", IsoLevel::Level1), "CAF___");
}

TEST(ToolIsoNames, AsciiCutsNeverSplitACharacter) {
  const std::string u = "\xC3\xBC";  // ü, 2 bytes
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += u;  // 300 bytes
  for (const std::string& prefix : {std::string(), std::string("x")}) {
    const FileName f = mapFileName(prefix + longName + ".txt", IsoLevel::Ascii, nullptr);
    EXPECT_TRUE(wholeUtf8(f.name)) << prefix.size();
    EXPECT_LE(f.identifier().size(), 200u);
    EXPECT_GE(f.identifier().size(), 199u);
    EXPECT_EQ(f.extension, "txt");
    const std::string folder = mapFolderName(prefix + longName, IsoLevel::Ascii);
    EXPECT_TRUE(wholeUtf8(folder)) << prefix.size();
    EXPECT_GE(folder.size(), 199u);
    EXPECT_TRUE(wholeUtf8(numberedFolderName(folder, IsoLevel::Ascii, 7)));
    EXPECT_TRUE(wholeUtf8(numberedFileName(f, IsoLevel::Ascii, 12).name));
  }
  // A DEL byte is a control byte like the others.
  EXPECT_EQ(mapFileName("del\x7Fname.txt", IsoLevel::Ascii, nullptr).identifier(), "del_name.txt");
}
