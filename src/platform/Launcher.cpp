#include "platform/Launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <QByteArray>
#include <QDesktopServices>

#include "common/Sjis.h"
#include "platform/FileManager.h"

namespace tonbo::platform {
namespace {

class DesktopLauncher : public Launcher {
 public:
  // The opener starts even when no program takes the file, and fails later
  // where nobody sees it: ask for a program first.
  bool OpenUrl(const QUrl& url) override { return Openable(url) && QDesktopServices::openUrl(url); }
  bool StartDetached(const QString& program, const QStringList& arguments) override {
    if (program == QStringLiteral("xdg-open") && arguments.size() == 1 &&
        !Openable(QUrl::fromEncoded(arguments[0].toLatin1())))
      return false;
    return SpawnDetached(program, arguments, QString());
  }

 private:
  static bool Openable(const QUrl& url) {
    if (!url.isLocalFile()) return true;
    // The path's own bytes: a name that is not UTF-8 is still that file.
    const std::string path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    return HasDesktopHandler(path);
  }
};

Launcher* g_override = nullptr;

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char* cwd = getcwd(nullptr, 0);
  std::string dir = cwd ? cwd : "";
  free(cwd);
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + path;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's path, looked up before the fork: after it, the child may
// only make calls that take no lock.
std::string ProgramPath(const std::string& program) {
  if (program.empty() || program.find('/') != std::string::npos)
    return IsExecutableFile(program) ? program : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = end > start ? dirs.substr(start, end - start) : std::string(".");
    std::string candidate = dir + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

QString DiskArgument(const std::string& diskBytes) {
  std::string sjis;
  enc::DiskToSjis(diskBytes, sjis);
  return enc::FromSjis(sjis);
}

std::string DiskBytesOf(const QString& argument) { return enc::SjisToDisk(enc::ToSjis(argument)); }

bool SpawnDetached(const QString& program, const QStringList& arguments,
                   const QString& workingFolder) {
  const std::string path = ProgramPath(DiskBytesOf(program));
  if (path.empty()) return false;
  std::vector<std::string> words{DiskBytesOf(program)};
  for (const QString& argument : arguments) words.push_back(DiskBytesOf(argument));
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const std::string folder = DiskBytesOf(workingFolder);
  // The grandchild reports a failed chdir or exec through the pipe, which
  // closes unread when the program starts. Two forks: the program is not
  // this process's child, so it never lingers as a zombie.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      signal(SIGPIPE, SIG_DFL);
      int error = 0;
      if (!folder.empty() && chdir(folder.c_str()) != 0)
        error = errno;
      else
        execv(path.c_str(), argv.data());
      if (!error) error = errno;
      (void)!write(report[1], &error, sizeof error);
      _exit(127);
    }
    if (grandchild < 0) {
      const int error = errno;
      (void)!write(report[1], &error, sizeof error);
    }
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  do got = read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;
}

bool Launcher::StartIn(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) {
  return SpawnDetached(program, arguments, workingFolder);
}

bool Launcher::ShowItems(const QStringList& uris) { return ShowItemsOverDBus(uris); }

Launcher& CurrentLauncher() {
  static DesktopLauncher desktop;
  return g_override ? *g_override : desktop;
}

void SetLauncher(Launcher* launcher) { g_override = launcher; }

QUrl FileUrlFromDisk(const std::string& diskPath) {
  std::string path = Absolute(diskPath);
  QByteArray raw(path.data(), static_cast<qsizetype>(path.size()));
  return QUrl::fromEncoded("file://" + raw.toPercentEncoding("/"), QUrl::StrictMode);
}

bool OpenDiskPath(const std::string& diskPath) {
  if (diskPath.empty()) return false;
  return CurrentLauncher().OpenUrl(FileUrlFromDisk(diskPath));
}

}  // namespace tonbo::platform
