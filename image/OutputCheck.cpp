#include "image/OutputCheck.h"

#include <sys/stat.h>

#include <algorithm>

#include "tool/ImageOutputs.h"
#include "tool/ImageTree.h"
#include "tool/ToolArguments.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::optional<std::string> ToolOutputRefusal(const CommandLine& entries) {
  const auto target = std::find_if(entries.begin(), entries.end(), [](const CommandEntry& entry) {
    return entry.option == InfoOf(Option::Target).text;
  });
  if (target == entries.end()) return std::nullopt;  // the tool says why when it runs
  const ImageOutputs outputs = OutputsOf(target->value);
  if (!Exists(outputs.bin) && !Exists(outputs.cue)) return std::nullopt;
  const ParsedArguments parsed = ParseToolArguments(RenderArguments(entries));
  if (!parsed.options) return std::nullopt;
  // An input the tool cannot read stops the run too: the old image stays.
  ImageNode root;
  if (Status s = BuildImageTree(*parsed.options, root)) return s->message;
  if (Status s = CheckImageOutputs(outputs, root)) return s->message;
  return std::nullopt;
}
