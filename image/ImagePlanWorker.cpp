#include "image/ImagePlanWorker.h"

#include "image/DiscFit.h"

namespace {

// The arguments a plan needs before the entries': none when they name the target.
std::vector<std::string> TargetStandIn(const CommandLine& entries) {
  const std::string target(InfoOf(Option::Target).text);
  if (!entries.empty() && entries.front().option == target) return {};
  return {target, "image"};
}

}  // namespace

std::vector<std::string> PlanArguments(const CommandLine& entries) {
  std::vector<std::string> args = RenderArguments(entries);
  const std::vector<std::string> before = TargetStandIn(entries);
  args.insert(args.begin(), before.begin(), before.end());
  return args;
}

std::vector<std::string> PlanArguments(CommandLine&& entries) {
  // As RenderArguments renders them, each text moved rather than copied.
  std::vector<std::string> args = TargetStandIn(entries);
  args.reserve(args.size() + entries.size() * 2);
  for (CommandEntry& entry : entries) {
    args.push_back(std::move(entry.option));
    if (entry.hasValue) args.push_back(std::move(entry.value));
  }
  entries.clear();
  return args;
}

std::string PlanLine(const PlanResult& result) {
  const bool tooLong = result.error && result.error->code == ExitCode::LayoutError &&
                       result.summary.totalSectors > MAX_IMAGE_SECTORS;
  if (result.error && !tooLong) return ImageProblemLine(result.error->message);
  return ImageSizeLine(result.summary.totalSectors, result.summary.nameChanges.size());
}

PlanResult PlanWithSizes(const PlanRequest& request, const SizeLookUp& lookUp,
                         std::unordered_map<std::string, std::uint64_t>& known) {
  // The planner looks the files up in the order of their arguments.
  std::size_t file = 0;
  const InputLookUp fromLayout = [&](const std::string& path, InputFile& found) -> Status {
    const std::uint64_t given = file < request.sizes.size() ? request.sizes[file] : PlanRequest::UNKNOWN_SIZE;
    ++file;
    if (given != PlanRequest::UNKNOWN_SIZE) {
      found.size = given;
      return std::nullopt;
    }
    auto it = known.find(path);
    if (it == known.end()) {
      const std::optional<std::uint64_t> size = lookUp(path);
      if (!size) return InputError("Cannot find " + path);
      it = known.emplace(path, *size).first;
    }
    found.size = it->second;
    return std::nullopt;
  };
  PlanResult result;
  result.generation = request.generation;
  result.error = PlanImageFromArguments(request.args, fromLayout, result.summary);
  return result;
}

ImagePlanWorker::ImagePlanWorker(SizeLookUp lookUp, std::function<void(PlanResult)> deliver)
    : m_lookUp(std::move(lookUp)), m_deliver(std::move(deliver)), m_thread([this] { Run(); }) {}

ImagePlanWorker::~ImagePlanWorker() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
    m_pending.reset();
  }
  m_wake.notify_one();
  m_thread.join();
}

void ImagePlanWorker::Request(PlanRequest request) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = std::move(request);
  }
  m_wake.notify_one();
}

PlanResult ImagePlanWorker::PlanAndWait(PlanRequest request) {
  request.awaited = true;
  std::unique_lock<std::mutex> lock(m_mutex);
  m_awaited.reset();
  m_pending = std::move(request);
  m_wake.notify_one();
  m_planned.wait(lock, [this] { return m_awaited.has_value(); });
  PlanResult result = std::move(*m_awaited);
  m_awaited.reset();
  return result;
}

void ImagePlanWorker::ForgetSizes() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_forget = true;
}

void ImagePlanWorker::Run() {
  for (;;) {
    PlanRequest request;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stop || m_pending.has_value(); });
      if (m_stop) return;
      request = std::move(*m_pending);
      m_pending.reset();
      if (m_forget) m_known.clear();
      m_forget = false;
    }
    PlanResult result = PlanWithSizes(request, m_lookUp, m_known);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (request.awaited) {
        m_awaited = std::move(result);
        m_planned.notify_all();
        continue;
      }
      if (m_stop) return;
    }
    m_deliver(std::move(result));
  }
}
