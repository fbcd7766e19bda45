#include "image/ImagePlanWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace {

std::vector<std::string> argsFor(const std::vector<std::string>& files) {
  std::vector<std::string> args = {"-o", "/tmp/disc"};
  for (const std::string& f : files) args.insert(args.end(), {"-f", f});
  return args;
}

TEST(ImagePlanWorker, LineForEveryOutcome) {
  PlanResult ok;
  ok.summary.totalSectors = 12345;
  EXPECT_EQ(PlanLine(ok), "Image: 12345 sectors, 29.0 MB, 02:44 - fits a 74-min CD");
  ok.summary.nameChanges.resize(3);
  EXPECT_EQ(PlanLine(ok), "Image: 12345 sectors, 29.0 MB, 02:44 - fits a 74-min CD - 3 names change");
  PlanResult tooLong;
  tooLong.summary.totalSectors = 460000;
  tooLong.error = LayoutError(ImageTooLongMessage());
  EXPECT_EQ(PlanLine(tooLong), "Image: 460000 sectors, 1081.9 MB, 102:13 - 02:16 longer than a 99-min CD");
  PlanResult missing;
  missing.error = InputError("Cannot find /a.txt");
  EXPECT_EQ(PlanLine(missing), "Image: Cannot find /a.txt");
  PlanResult tooDeep;
  tooDeep.error = LayoutError("Cannot lay out folder A/B: too deep");
  EXPECT_EQ(PlanLine(tooDeep), "Image: Cannot lay out folder A/B: too deep");
}

TEST(ImagePlanWorker, GivenSizesNeedNoLookUpAndOthersAreLookedUpOnce) {
  std::map<std::string, int> asked;
  const SizeLookUp lookUp = [&](const std::string& path) -> std::optional<std::uint64_t> {
    ++asked[path];
    if (path == "/gone") return std::nullopt;
    return 2048 * 400;  // 400 sectors each
  };
  std::unordered_map<std::string, std::uint64_t> known;
  PlanRequest request{1, argsFor({"/a", "/b"}), {}};
  const PlanResult first = PlanWithSizes(request, lookUp, known);
  ASSERT_FALSE(first.error);
  request.args = argsFor({"/a", "/b", "/a"});
  const PlanResult second = PlanWithSizes(request, lookUp, known);
  ASSERT_FALSE(second.error);
  EXPECT_EQ(second.summary.totalSectors, first.summary.totalSectors + 400);
  EXPECT_EQ(asked["/a"], 1);
  EXPECT_EQ(asked["/b"], 1);
  // Sizes given with the request are taken, file by file, and looked up for
  // none of them; an unknown one is.
  request.args = argsFor({"/a", "/c", "/b"});
  request.sizes = {0, PlanRequest::UNKNOWN_SIZE, 2048 * 400};
  const PlanResult given = PlanWithSizes(request, lookUp, known);
  EXPECT_EQ(given.summary.totalSectors, first.summary.totalSectors);
  EXPECT_EQ(asked, (std::map<std::string, int>{{"/a", 1}, {"/b", 1}, {"/c", 1}}));
  request = {7, argsFor({"/a", "/gone"}), {}};
  const PlanResult gone = PlanWithSizes(request, lookUp, known);
  ASSERT_TRUE(gone.error);
  EXPECT_EQ(gone.error->message, "Cannot find /gone");
  EXPECT_EQ(gone.generation, 7u);
}

// The plan's arguments are the same whether the entries are copied or moved
// from, with the target or without it.
TEST(ImagePlanWorker, ArgumentsFromMovedEntriesAreTheArgumentsCopied) {
  for (const bool withTarget : {true, false}) {
    CommandLine entries;
    if (withTarget) entries.push_back(MakeEntry(Option::Target, "/tmp/disc"));
    entries.push_back(MakeEntry(Option::KeepExtension));
    entries.push_back(MakeEntry(Option::Folder, "A\\B"));
    entries.push_back(MakeEntry(Option::Form2File, "/a long path/of a file.mpg"));
    const std::vector<std::string> copied = PlanArguments(entries);
    EXPECT_EQ(copied.front(), "-o");
    EXPECT_EQ(PlanArguments(CommandLine(entries)), copied);
  }
}

// While one plan is under way, later requests replace each other: the newest
// is planned next and the ones between are never planned.
TEST(ImagePlanWorker, NewestRequestWins) {
  std::mutex mutex;
  std::condition_variable changed;
  bool release = false, busy = false;
  std::vector<std::uint64_t> delivered;
  const SizeLookUp lookUp = [&](const std::string& path) -> std::optional<std::uint64_t> {
    if (path == "/slow") {
      std::unique_lock<std::mutex> lock(mutex);
      busy = true;
      changed.notify_all();
      changed.wait(lock, [&] { return release; });
    }
    return 10;
  };
  {
    ImagePlanWorker worker(lookUp, [&](PlanResult r) {
      std::lock_guard<std::mutex> lock(mutex);
      delivered.push_back(r.generation);
      changed.notify_all();
    });
    worker.Request({1, argsFor({"/slow"}), {}});
    {
      std::unique_lock<std::mutex> lock(mutex);
      ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return busy; }));
    }
    for (std::uint64_t g = 2; g <= 5; ++g) worker.Request({g, argsFor({"/x" + std::to_string(g)}), {}});
    {
      std::unique_lock<std::mutex> lock(mutex);
      release = true;
      changed.notify_all();
      ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return delivered.size() == 2; }));
    }
  }
  EXPECT_EQ(delivered, (std::vector<std::uint64_t>{1, 5}));
}

// Write ISO's plan is handed back to it, not delivered.
TEST(ImagePlanWorker, AwaitedPlanComesBackNotDelivered) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> asked;
  std::optional<PlanResult> result;
  {
    ImagePlanWorker worker(
        [&](const std::string& path) {
          std::lock_guard<std::mutex> lock(mutex);
          asked.push_back(path);
          return std::optional<std::uint64_t>(1);
        },
        [&](PlanResult r) {
          std::lock_guard<std::mutex> lock(mutex);
          result = std::move(r);
          changed.notify_all();
        });
    const PlanResult awaited = worker.PlanAndWait({2, argsFor({"/a"}), {2048 * 1000}});
    EXPECT_EQ(awaited.generation, 2u);
    EXPECT_GT(awaited.summary.totalSectors, 1000u);
    worker.Request({3, argsFor({"/a", "/b"}), {2048 * 1000}});
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return result.has_value(); }));
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"/b"}));
  EXPECT_EQ(result->generation, 3u);
  ASSERT_FALSE(result->error);
  EXPECT_GT(result->summary.totalSectors, 1000u);
}

TEST(ImagePlanWorker, EndsWithARequestPending) {
  int deliveries = 0;
  {
    ImagePlanWorker worker([](const std::string&) { return std::optional<std::uint64_t>(1); },
                           [&](PlanResult) { ++deliveries; });
    for (std::uint64_t g = 1; g <= 50; ++g) worker.Request({g, argsFor({"/a"}), {}});
  }  // joins without hanging; whatever was delivered came before the end
  EXPECT_LE(deliveries, 50);
}

}  // namespace
