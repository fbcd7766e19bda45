// "Writing: 45% - 310 MB/s - 12 s left" during a run: the share of the exact
// image size written so far, the average speed since the tool started, and
// the time the rest takes at that speed. Times come in from the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class WriteRate {
 public:
  // imageBytes: the exact size of the .bin; startSeconds: when the tool started.
  WriteRate(std::uint64_t imageBytes, double startSeconds) : m_total(imageBytes), m_start(startSeconds) {}

  // The line for an image of `writtenBytes` at `nowSeconds`; only the share
  // until some bytes have been written over a measurable time.
  std::string Line(std::uint64_t writtenBytes, double nowSeconds) const;

 private:
  std::uint64_t m_total;
  double m_start;
};
