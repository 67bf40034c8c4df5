#pragma once
// Long work (a rename run, adding a large folder) reports each file it
// reaches; the window shows a progress dialog, tonbo-cli a line on the
// terminal. Answering false asks the work to stop cleanly before the next
// file, which the rename run treats as "中止(&C)".
#include <cstdint>
#include <string>

namespace tonbo {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // done of total files (total -1 when not known yet); name is the file
  // about to be handled, code page 932. False: stop before the next file.
  virtual bool Step(std::int64_t done, std::int64_t total, const std::string& sjisName) = 0;
  // The work has ended (also after a stop): the sink hides what it shows.
  virtual void Finish() {}
};

}  // namespace tonbo
