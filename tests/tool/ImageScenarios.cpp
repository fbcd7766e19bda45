#include "ImageScenarios.h"

void Build(const Scenario& sc, Built& b) {
  b.bin = b.dir / "image/disc.bin";
  b.cue = b.dir / "image/disc.cue";
  RunCommand("mkdir -p " + ShellQuote(b.dir / "image"));
  b.args = {"-o", b.dir / "image/disc"};
  b.args.insert(b.args.end(), sc.settings.begin(), sc.settings.end());
  int n = 0;
  for (const Step& s : sc.steps) {
    if (s.kind == 'd') {
      b.args.insert(b.args.end(), {"-d", s.value});
      continue;
    }
    const std::string folder = b.dir / ("src" + std::to_string(++n));
    RunCommand("mkdir -p " + ShellQuote(folder));
    WriteFile(folder + "/" + s.value, PatternBytes(s.size, static_cast<unsigned>(n)));
    b.args.insert(b.args.end(), {s.kind == 'm' ? "-m" : "-f", folder + "/" + s.value});
    b.sourceOf[s.expected] = folder + "/" + s.value;
    b.form2Of[s.expected] = s.kind == 'm';
  }
}

namespace {

// Enough records for a directory of three blocks: none may cross a boundary.
Scenario FullDirectory() {
  Scenario sc{"FullDirectorySpansBlocks", {"-isolevel2", "-s"}, {{'d', "MANY", 0, {}}}, {}};
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(100 + i);
    sc.steps.push_back({i % 7 ? 'f' : 'm', "entry number " + n + " of many.txt", 40u + i, "MANY/ENTRY_NUMBER_" + n + "_OF_MANY.TXT"});
  }
  return sc;
}

}  // namespace

const std::vector<Scenario>& ImageScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"Form1OnlyLevel1Nested",
       {"-v", "Test vol", "-isolevel1"},
       {{'f', "a.txt", 12, "A.TXT"}, {'f', "empty.txt", 0, "EMPTY.TXT"}, {'f', "exact.bin", 2048, "EXACT.BIN"},
        {'f', "big data.dat", 9000, "BIG_DATA.DAT"}, {'d', "DOCS", 0, {}}, {'f', "readme", 100, "DOCS/README"},
        {'d', "EMPTY", 0, {}}, {'d', "DOCS\\A\\B\\C", 0, {}}, {'f', "deep.txt", 3000, "DOCS/A/B/C/DEEP.TXT"}},
       {}},
      {"Form2OnlyTracksWithNewExtension",
       {"-e", "dat"},
       {{'m', "clip1.mpg", 2324, "clip1.dat"}, {'d', "VIDEO", 0, {}}, {'m', "clip2.mpg", 10000, "VIDEO/clip2.dat"},
        {'m', "none.mpg", 0, "VIDEO/none.dat"}},
       {}},
      {"MixedSingleTrackLevel2KeepExtension",
       {"-e", "dat", "-x", "-s", "-isolevel2"},
       {{'f', "a rather long file name.text", 5000, "A_RATHER_LONG_FILE_NAME.TEXT"}, {'m', "stream.xa", 2325, "STREAM.XA"},
        {'d', "MEDIA\\SUB", 0, {}}, {'m', "movie.mpg", 4648, "MEDIA/SUB/MOVIE.MPG"}, {'f', "notes.txt", 2049, "MEDIA/SUB/NOTES.TXT"},
        {'d', "MEDIA", 0, {}}, {'f', "top.txt", 1, "MEDIA/TOP.TXT"}},
       {}},
      {"AsciiNamesAndCollisions",
       {},
       {{'f', "My long-name File.text", 700, "My long-name File.text"}, {'f', "same.txt", 10, "same.txt"},
        {'f', "Same.TXT", 20, "Same1.TXT"}, {'f', "same.txt", 30, "same2.txt"}, {'f', "same.txt", 40, "same3.txt"},
        {'f', "noext", 5, "noext"}, {'f', "del\x7fname.txt", 6, "del_name.txt"}, {'d', "SUB DIR.X", 0, {}},
        {'m', "v.mpg", 7000, "SUB DIR.X/v.mpg"}, {'f', "a;b.txt", 3, "SUB DIR.X/a_b.txt"}},
       {"Same1.TXT", "same2.txt", "same3.txt"}},
      {"Level1CollisionsAndMultiTrackMix",
       {"-isolevel1", "-e", "vob"},
       {{'f', "longname1.txt", 10, "LONGNAME.TXT"}, {'f', "longname2.txt", 10, "LONGNAM1.TXT"},
        {'m', "clip.mpg", 3000, "CLIP.VOB"}, {'f', "readme.txt", 10, "README.TXT"}, {'f', "README.TXT", 11, "README1.TXT"},
        {'d', "V\\W", 0, {}}, {'m', "second.mpg", 5000, "V/W/SECOND.VOB"}, {'f', "x.txt", 4097, "V/W/X.TXT"}},
       {"LONGNAM1.TXT", "README1.TXT"}},
      FullDirectory(),
  };
  return scenarios;
}
