#pragma once
// The send-to entries: every file under the send-to folder and its
// sub-folders, read once when the main window starts, sorted by full path in
// the locale's order without regard to case.
#include <string>
#include <vector>

namespace tonbo::shell {

struct SendToEntry {
  std::string path;     // disk path
  std::string caption;  // the name without its extension
  std::string icon;     // a desktop entry's Icon key, else empty
};

std::vector<SendToEntry> ReadSendToEntries(const std::string& sendToFolder);

enum class SendToResult { Started, NotStarted, NotRunnable };

// Runs an entry with the files (disk paths) as its arguments: a desktop entry
// through its Exec line (once per file when the line takes one file), a
// program directly. A file that is neither cannot receive files.
SendToResult SendFilesTo(const std::string& entryPath, const std::vector<std::string>& files);

}  // namespace tonbo::shell
