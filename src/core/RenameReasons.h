#pragma once
// Why a row of a rename run was not done, as the end of its log line:
// "（書き込み権限がありません）". UTF-8.
#include <string>

namespace tonbo {

// Reasons that are no errno of the system.
enum class RowProblem {
  None,
  Replaced,     // the file at the row's path is no longer the listed file
  Missing,      // the listed file is gone
  Slash,        // the new name holds "/"
  NulByte,      // the new name holds a NUL
  DotName,      // the new name is "." or ".."
  EmptyName,    // the new name is empty
  TargetSwap,   // the target held by a moved file changed in between
  RingUndone,   // a rename of its ring failed, so the ring was put back
  TrashTarget,  // the file at the target could not go to the trash
  Changed,      // written since the run (undo)
  Moved,        // no longer where the run left it (undo, recovery)
  Taken,        // another file holds the name to go back to (undo, recovery)
  SameFile,     // the target is another name (a hard link) of the file itself
};

// "（…）" for a system error number; trash: the error came from the trash.
std::string ReasonText(int err, bool trash = false);
std::string ReasonText(RowProblem problem);

}  // namespace tonbo
