// Placeholder: the running tool process; filled in by its own change.
#pragma once

class ToolRun {
 public:
  virtual ~ToolRun() = default;
};
