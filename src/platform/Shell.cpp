#include "platform/Shell.h"

#include "common/Sjis.h"
#include "platform/CommandLine.h"
#include "platform/FileOps.h"
#include "platform/Launcher.h"

namespace tonbo::platform {

using enc::SjisToDisk;

bool ShellOpen(const std::string& sjisPath) { return OpenDiskPath(SjisToDisk(sjisPath)); }

bool RunCommandLine(const std::string& sjisCommandLine) {
  return RunDiskCommandLine(SjisToDisk(sjisCommandLine));
}

bool ShellCopyFile(const std::string& sjisFrom, const std::string& sjisTo) {
  std::string message;
  return CopyFileReplace(SjisToDisk(sjisFrom), SjisToDisk(sjisTo), &message) == 0;
}

bool ShellDeleteFile(const std::string& sjisPath) {
  std::string message;
  return MoveToTrash(SjisToDisk(sjisPath), &message) == 0;
}

}  // namespace tonbo::platform
