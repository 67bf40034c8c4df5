#pragma once
// Hands files and programs to the desktop. Everything that starts another
// process goes through one Launcher, so tests can record what would be
// started instead of opening real desktop programs. Programs, arguments and
// folders are disk bytes carried in QString as the widgets carry them: a
// byte that is not UTF-8 rides as U+DC80 + byte (DiskArgument), and the
// program receives the exact bytes.
#include <QString>
#include <QStringList>
#include <QUrl>

#include <string>

namespace tonbo::platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens a URL with the desktop's association; false when nothing took it.
  virtual bool OpenUrl(const QUrl& url) = 0;
  // Starts a program without waiting for it; true when the process started.
  virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
  // The same with a working folder (a terminal opened in a file's folder).
  virtual bool StartIn(const QString& program, const QStringList& arguments,
                       const QString& workingFolder);
  // Asks the file manager to show these file URLs with the files selected
  // (org.freedesktop.FileManager1.ShowItems on the session bus); false when
  // no file manager answered.
  virtual bool ShowItems(const QStringList& uris);
};

// A disk path or argument as launcher text, and back, byte for byte.
QString DiskArgument(const std::string& diskBytes);
std::string DiskBytesOf(const QString& argument);

// Starts a program (a name looked up on PATH, or a path) detached from this
// process, with the exact bytes of its arguments, in workingFolder when that
// is not empty. False when the program is not there or could not start.
bool SpawnDetached(const QString& program, const QStringList& arguments,
                   const QString& workingFolder);

// The launcher in use: the desktop one unless a test set another.
Launcher& CurrentLauncher();
// Installs a launcher (not owned); nullptr restores the desktop one.
void SetLauncher(Launcher* launcher);

// A file URL for a disk path, every byte outside the unreserved set
// percent-encoded, so a name that is not UTF-8 reaches the opener intact.
// A relative path is taken from the current folder.
QUrl FileUrlFromDisk(const std::string& diskPath);

// Opens a file or folder with its associated program. False when nothing
// could take it (no opener, or no program for the file's type), so the
// caller can show the file itself instead of staying silent.
bool OpenDiskPath(const std::string& diskPath);

// Whether the desktop's default program for the type of the file at diskPath
// can show it: there is one, its executable is there, and when it runs in a
// terminal, a terminal is there too.
bool HasDesktopHandler(const std::string& diskPath);

// The desktop id of the program the desktop opens a MIME type with, as GIO
// decides it, leaving out the entry ignoredId (then the first other program
// for the type); empty when there is none.
std::string DefaultProgramFor(const std::string& mimeType, const std::string& ignoredId);

}  // namespace tonbo::platform
