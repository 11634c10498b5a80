// A progress line on stderr for long work: shown only when the total exceeds 64 MiB and
// stderr is a terminal; it rewrites itself in place and ends with a newline.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class ProgressLine {
 public:
  ProgressLine(std::ostream& err, std::string label, std::uint64_t total);
  ~ProgressLine();
  void Advance(std::uint64_t bytes);

 private:
  std::ostream& err_;
  std::string label_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  int shown_ = -1;
  bool active_;
};
