// Replacing an old image: the old cue sheet goes only once the new .bin is
// open for writing; a .bin that cannot be written leaves both as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "ToolTestSupport.h"
#include "tool/ImageOutputs.h"

TEST(ImageOutputs, TheOldCueSheetGoesOnlyOnceTheImageIsOpenForWriting) {
  ScratchDir dir;
  const ImageOutputs outputs = OutputsOf(dir / "disc");
  // .bin files that cannot be opened for writing, root or not.
  const struct {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"a link into a missing folder", [&] { ASSERT_EQ(symlink((dir / "gone/disc.bin").c_str(), outputs.bin.c_str()), 0); }},
      {"a FIFO", [&] { ASSERT_EQ(mkfifo(outputs.bin.c_str(), 0600), 0); }},
      {"a folder", [&] { ASSERT_EQ(mkdir(outputs.bin.c_str(), 0700), 0); }},
      {"read-only", [&] {
         WriteFile(outputs.bin, {'o', 'l', 'd'});
         ASSERT_EQ(chmod(outputs.bin.c_str(), 0444), 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::string(c.what) == "read-only" && geteuid() == 0) continue;  // root writes anyway
    WriteFile(outputs.cue, {'c', 'u', 'e'});
    c.make();
    ImageFile image;
    const Status error = OpenImageReplacingCue(outputs, image);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, ExitCode::OutputError);
    EXPECT_EQ(ReadText(outputs.cue), "cue");
    RunCommand("rm -rf " + ShellQuote(outputs.bin));
  }
  // A regular .bin: emptied, and the old cue sheet gone.
  WriteFile(outputs.bin, {'o', 'l', 'd'});
  ImageFile image;
  const Status error = OpenImageReplacingCue(outputs, image);
  ASSERT_FALSE(error) << error->message;
  EXPECT_FALSE(image.Close());
  EXPECT_EQ(ReadText(outputs.bin), "");
  EXPECT_FALSE(FileExists(outputs.cue));
}
