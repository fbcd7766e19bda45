// The image planned off the window's thread: the window hands over the tool's
// arguments (rendered from the same entries as the option string) and gets
// back the tool's own plan, laid out by the tool's planner. Requests that
// arrive while one is being planned replace each other: only the newest is
// planned next. The window hands over the file sizes it knows (found when
// the files came into the layout); a size it does not know is looked up here
// once per path and remembered, so a change to the layout costs no new
// look-ups for the files already known.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "common/CommandLine.h"
#include "tool/ImagePlanner.h"

struct PlanRequest {
  static constexpr std::uint64_t UNKNOWN_SIZE = UINT64_MAX;
  std::uint64_t generation = 0;   // handed back with the result
  std::vector<std::string> args;  // the tool's arguments, "-o" first
  // The size of each "-f"/"-m" file of args, in their order (UNKNOWN_SIZE:
  // to be looked up); fewer sizes than files leave the rest to be looked up.
  std::vector<std::uint64_t> sizes;
  bool awaited = false;  // PlanAndWait's: handed back to it, not delivered
};

struct PlanResult {
  std::uint64_t generation = 0;
  Status error;          // why the layout cannot be laid out (as the tool says it)
  ImageSummary summary;  // sectors are also there when the layout is only too long
};

// The tool's arguments for a plan of these entries. Without an image target
// the plan still needs one: "image" stands in (it only names the cue's FILE).
std::vector<std::string> PlanArguments(const CommandLine& entries);
std::vector<std::string> PlanArguments(CommandLine&& entries);

// "Image: ..." for the line under "Real Path Of Files".
std::string PlanLine(const PlanResult& result);

// A file's size on disk, or nothing when it is not there as a file.
using SizeLookUp = std::function<std::optional<std::uint64_t>(const std::string& path)>;

// The plan itself, on the calling thread; the sizes remembered in `known`.
PlanResult PlanWithSizes(const PlanRequest& request, const SizeLookUp& lookUp,
                         std::unordered_map<std::string, std::uint64_t>& known);

class ImagePlanWorker {
 public:
  // deliver runs on the worker's thread with each result.
  ImagePlanWorker(SizeLookUp lookUp, std::function<void(PlanResult)> deliver);
  ~ImagePlanWorker();  // the plan under way ends, nothing more is delivered
  ImagePlanWorker(const ImagePlanWorker&) = delete;
  ImagePlanWorker& operator=(const ImagePlanWorker&) = delete;

  void Request(PlanRequest request);
  // Plans on the worker's thread and waits for the result (Write ISO): the
  // plan's memory is then the one the plans before it used and gave back,
  // not more taken on the window's thread.
  PlanResult PlanAndWait(PlanRequest request);
  // Sizes remembered so far are forgotten (a new layout).
  void ForgetSizes();

 private:
  void Run();

  SizeLookUp m_lookUp;
  std::function<void(PlanResult)> m_deliver;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_planned;     // m_awaited is there
  std::optional<PlanResult> m_awaited;
  std::optional<PlanRequest> m_pending;
  bool m_forget = false;
  bool m_stop = false;
  std::unordered_map<std::string, std::uint64_t> m_known;  // the worker's own
  std::thread m_thread;  // last: starts once the rest is there
};
