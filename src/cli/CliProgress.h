#pragma once
// The progress line of tonbo-cli: on a terminal only, on standard error,
// written over itself in place and taken away at the end, so nothing of it
// is left in the output. It appears when the work has lasted half a second
// and changes at most ten times a second. A run attaches it to its work
// (adding files, the rename run) as that work's ProgressSink.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "core/Progress.h"

namespace tonbo::cli {

class TerminalProgress : public ProgressSink {
 public:
  // Milliseconds from any fixed point; none: the real clock.
  using Clock = std::function<std::int64_t()>;

  static constexpr std::int64_t kShowAfterMs = 500;
  static constexpr std::int64_t kUpdateEveryMs = 100;

  // label: what the work is (UTF-8). on: err is a terminal; off, nothing is
  // ever written. columns: the terminal's width; the line stays shorter.
  TerminalProgress(std::ostream& err, bool on, std::string label, int columns, Clock clock = {});
  ~TerminalProgress() override { Finish(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Never stops the work: a terminal stops it with Ctrl+C.
  bool Step(std::int64_t done, std::int64_t total, const std::string& sjisName) override;
  void Finish() override;
  // Takes the line away (before a message); the next step draws it again.
  void Clear();

 private:
  std::ostream& err_;
  std::string label_;
  Clock clock_;
  int columns_;
  bool on_;
  bool drawn_ = false;
  std::int64_t started_ = -1;
  std::int64_t drawnAt_ = 0;
};

// The line itself: label, count and as much of the end of the name (UTF-8,
// escaped) as fits in fewer than columns display columns.
std::string ProgressLine(const std::string& label, std::int64_t done, std::int64_t total,
                         const std::string& shownName, int columns);

}  // namespace tonbo::cli
