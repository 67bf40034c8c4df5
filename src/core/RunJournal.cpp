#include "core/RunJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <fstream>

#include "common/Folders.h"

namespace tonbo {
namespace {

constexpr const char* kSuffix = ".journal";
constexpr const char* kMagic = "tonbo-journal";
// The format this Tonbo writes and reads; a newer one may record what this
// one cannot replay, so it is left to a Tonbo that knows it.
constexpr const char* kFormat = "1";
constexpr int kStepsPerWrite = 512;
constexpr int kWritesPerSync = 16;
constexpr size_t kPlanChunk = 1 << 20;
constexpr size_t kKeepRuns = 20;
constexpr time_t kKeepSeconds = time_t{30} * 24 * 3600;

// Names may hold any byte but "/" and NUL: tab, line ends, "%" and other
// control bytes are written as %XX so that a record stays one line.
void AppendEscaped(std::string& out, const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f || c == '%') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
}

std::string Unescape(const std::string& text) {
  std::string out;
  auto hex = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

template <typename T>
void AppendNumber(std::string& out, T value) {
  char buf[24];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  out.append(buf, end);
}

void AppendId(std::string& out, const platform::FileId& id) {
  for (std::int64_t v : {static_cast<std::int64_t>(id.dev), static_cast<std::int64_t>(id.ino),
                         id.size, id.mtimeNs}) {
    out += '\t';
    AppendNumber(out, v);
  }
}

int WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

int SyncFolder(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int err = fsync(fd) == 0 ? 0 : errno;
  close(fd);
  return err;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (true) {
    const size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab - at));
    if (tab == std::string::npos) return fields;
    at = tab + 1;
  }
}

long long Number(const std::string& text) {
  long long v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

platform::FileId IdFrom(const std::vector<std::string>& f, size_t at) {
  return {static_cast<std::uint64_t>(Number(f[at])), static_cast<std::uint64_t>(Number(f[at + 1])),
          Number(f[at + 2]), Number(f[at + 3])};
}

}  // namespace

std::string JournalDirDisk() { return StateDirDisk() + "journal/"; }

JournalWriter::~JournalWriter() {
  if (fd_ >= 0) {
    Write(true);
    close(fd_);
  }
}

int JournalWriter::Create(const std::string& dir, const std::string& kind,
                          const std::string& source) {
  if (!MakeDirs(dir)) return errno ? errno : EACCES;
  const auto now = std::chrono::system_clock::now();
  const time_t secs = std::chrono::system_clock::to_time_t(now);
  const long micros = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() %
      1000000);
  struct tm local {};
  localtime_r(&secs, &local);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d.%06ld-%d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, micros,
                static_cast<int>(getpid()));
  id_ = stamp;
  dir_ = dir;
  path_ = dir + id_ + kSuffix;
  fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
  if (fd_ < 0) return errno;
  flock(fd_, LOCK_EX);
  buffer_ = std::string(kMagic) + "\t" + kFormat + "\t" + kind + "\t";
  AppendEscaped(buffer_, source);
  buffer_ += '\n';
  return 0;
}

int JournalWriter::FolderIndex(const std::string& dir) {
  if (dir == lastFolder_ && folders_ > 0) return folders_ - 1;
  lastFolder_ = dir;
  buffer_ += "F\t";
  AppendNumber(buffer_, folders_);
  buffer_ += '\t';
  AppendEscaped(buffer_, dir);
  buffer_ += '\n';
  return folders_++;
}

void JournalWriter::PlanEntry(const char* kind, int row, const std::string& dir,
                              const std::string& name, const platform::FileId& id) {
  const int folder = FolderIndex(dir);
  buffer_ += kind;
  buffer_ += '\t';
  AppendNumber(buffer_, row);
  buffer_ += '\t';
  AppendNumber(buffer_, folder);
  AppendId(buffer_, id);
  buffer_ += '\t';
  AppendEscaped(buffer_, name);
}

void JournalWriter::PlanRename(int row, const std::string& dir, const std::string& from,
                               const platform::FileId& id, const std::string& to,
                               const std::string& parkedName) {
  PlanEntry("P", row, dir, from, id);
  buffer_ += '\t';
  AppendEscaped(buffer_, to);
  buffer_ += '\t';
  AppendEscaped(buffer_, parkedName);
  buffer_ += '\n';
  FlushPlan();
}

void JournalWriter::PlanTrash(int row, const std::string& dir, const std::string& name,
                              const platform::FileId& id) {
  PlanEntry("D", row, dir, name, id);
  buffer_ += '\n';
  FlushPlan();
}

void JournalWriter::FlushPlan() {
  if (buffer_.size() < kPlanChunk) return;
  if (!planError_) planError_ = WriteAll(fd_, buffer_);
  buffer_.clear();
}

// Until the "planned" line is on the disk the journal counts as a run that
// changed nothing, so writing the plan in pieces is safe.
int JournalWriter::Commit() {
  if (planError_) return planError_;
  buffer_ += "planned\n";
  if (const int err = WriteAll(fd_, buffer_)) return err;
  buffer_.clear();
  if (fsync(fd_) != 0) return errno;
  return SyncFolder(dir_);
}

void JournalWriter::Renamed(int row, const platform::FileId& id) { Step('r', row, &id); }

void JournalWriter::Step(char kind, int row, const platform::FileId* id) {
  if (fd_ < 0) return;
  buffer_ += kind;
  buffer_ += '\t';
  AppendNumber(buffer_, row);
  if (id) {
    buffer_ += '\t';
    AppendNumber(buffer_, id->size);
    buffer_ += '\t';
    AppendNumber(buffer_, id->mtimeNs);
  }
  buffer_ += '\n';
  if (++steps_ % kStepsPerWrite == 0) Write(steps_ % (kStepsPerWrite * kWritesPerSync) == 0);
}

void JournalWriter::NewTarget(int row, const std::string& name) {
  if (fd_ < 0) return;
  buffer_ += "N\t";
  AppendNumber(buffer_, row);
  buffer_ += '\t';
  AppendEscaped(buffer_, name);
  buffer_ += '\n';
  Write(false);
}

void JournalWriter::Victim(int row, const platform::FileId& id) {
  if (fd_ < 0) return;
  buffer_ += "V\t";
  AppendNumber(buffer_, row);
  AppendId(buffer_, id);
  buffer_ += '\n';
  Write(false);
}

void JournalWriter::Write(bool sync) {
  if (!buffer_.empty()) WriteAll(fd_, buffer_);
  buffer_.clear();
  if (sync) fdatasync(fd_);
}

void JournalWriter::Complete(int renamed, int deleted, int notDone) {
  if (fd_ < 0) return;
  buffer_ += "complete";
  for (int n : {renamed, deleted, notDone}) {
    buffer_ += '\t';
    AppendNumber(buffer_, n);
  }
  buffer_ += '\n';
  Write(true);
  close(fd_);
  fd_ = -1;
  PruneJournals(dir_);
}

bool ReadJournal(const std::string& path, Journal& out) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!std::getline(in, line)) return false;
  std::vector<std::string> f = Split(line);
  if (f.size() < 4 || f[0] != kMagic || f[1] != kFormat) return false;
  out = Journal();
  out.path = path;
  out.kind = f[2];
  out.source = Unescape(f[3]);
  std::vector<std::string> folders;
  std::vector<int> entryOfRow;
  auto entry = [&](const std::string& row) -> JournalEntry* {
    const long long r = Number(row);
    if (r < 0 || static_cast<size_t>(r) >= entryOfRow.size() || entryOfRow[r] < 0) return nullptr;
    return &out.entries[static_cast<size_t>(entryOfRow[r])];
  };
  while (std::getline(in, line)) {
    // A line cut short by a crash (no line end) says nothing for sure.
    if (in.eof()) break;
    f = Split(line);
    const std::string& k = f[0];
    if (k == "F" && f.size() >= 3) {
      folders.push_back(Unescape(f[2]));
    } else if ((k == "P" && f.size() >= 10) || (k == "D" && f.size() >= 8)) {
      JournalEntry e;
      e.kind = k[0];
      e.row = static_cast<int>(Number(f[1]));
      const long long folder = Number(f[2]);
      if (folder < 0 || static_cast<size_t>(folder) >= folders.size() || e.row < 0) continue;
      e.dir = folders[static_cast<size_t>(folder)];
      e.id = IdFrom(f, 3);
      e.from = Unescape(f[7]);
      if (e.kind == 'P') {
        e.to = Unescape(f[8]);
        e.parked = Unescape(f[9]);
      }
      if (static_cast<size_t>(e.row) >= entryOfRow.size())
        entryOfRow.resize(static_cast<size_t>(e.row) + 1, -1);
      entryOfRow[static_cast<size_t>(e.row)] = static_cast<int>(out.entries.size());
      out.entries.push_back(std::move(e));
    } else if (k == "planned") {
      out.planned = true;
    } else if (k == "complete" && f.size() >= 4) {
      out.complete = true;
      out.renamed = static_cast<int>(Number(f[1]));
      out.deleted = static_cast<int>(Number(f[2]));
      out.notDone = static_cast<int>(Number(f[3]));
    } else if (k == "closed" && f.size() >= 2) {
      out.closed = Unescape(f[1]);
    } else if (f.size() >= 2) {
      JournalEntry* e = entry(f[1]);
      if (!e) continue;
      if (k == "r") e->renamed = true, e->isParked = false;
      if (k == "r" && f.size() >= 4) e->id.size = Number(f[2]), e->id.mtimeNs = Number(f[3]);
      if (k == "p") e->isParked = true;
      if (k == "u" || k == "b") e->renamed = false, e->isParked = false;
      if (k == "t") e->trashed = true;
      if (k == "v") e->victimTrashed = true;
      if (k == "N" && f.size() >= 3) e->numbered = Unescape(f[2]);
      if (k == "V" && f.size() >= 6) e->victim = IdFrom(f, 2), e->hasVictim = true;
    }
  }
  // A line cut short by a crash ends the file; what was read before it holds.
  return true;
}

std::vector<std::string> ListJournals(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    const std::string suffix = kSuffix;
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.size() > suffix.size() &&
          n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
        names.push_back(dir + n);
    }
    closedir(d);
  }
  std::sort(names.rbegin(), names.rend());
  return names;
}

bool JournalInUse(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool busy = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return busy;
}

// The file does not end with a line end.
bool LastLineCut(int fd) {
  struct stat st {};
  char last = '\n';
  return fstat(fd, &st) == 0 && st.st_size > 0 && pread(fd, &last, 1, st.st_size - 1) == 1 &&
         last != '\n';
}

int CloseJournal(const std::string& path, const std::string& how) {
  const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  if (fd < 0) return errno;
  // A run killed while writing leaves its last line cut short: end it, or
  // the mark would join that line and the run would look unfinished again.
  std::string line = LastLineCut(fd) ? "\nclosed\t" : "closed\t";
  AppendEscaped(line, how);
  line += '\n';
  int err = WriteAll(fd, line);
  if (!err && fsync(fd) != 0) err = errno;
  close(fd);
  return err;
}

JournalStatus PeekJournal(const std::string& path) {
  JournalStatus status;
  std::ifstream in(path, std::ios::binary);
  std::string head;
  if (!std::getline(in, head)) return status;
  const std::vector<std::string> f = Split(head);
  if (f.size() >= 3 && f[0] == kMagic) status.kind = f[2];
  if (f.size() >= 2 && f[0] == kMagic && f[1] != kFormat) status.format = f[1];
  // Reading every journal would cost as much as the runs: the last lines say enough.
  in.clear();
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  const std::streamoff tail = std::min<std::streamoff>(size, 512);
  std::string end(static_cast<size_t>(tail), '\0');
  in.seekg(size - tail);
  in.read(end.data(), tail);
  status.complete = end.find("\ncomplete\t") != std::string::npos;
  status.closed = end.find("\nclosed\t") != std::string::npos;
  return status;
}

void PruneJournals(const std::string& dir) {
  const time_t now = time(nullptr);
  size_t finished = 0;
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (JournalInUse(path) || !status.format.empty()) continue;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) continue;
    if (!(status.complete || status.closed)) {
      // A run that ended before its plan was written changed nothing (an
      // hour on, so that a run just starting is never touched).
      Journal j;
      if (now - st.st_mtime > 3600 && (!ReadJournal(path, j) || !j.planned)) unlink(path.c_str());
      continue;
    }
    const bool old = now - st.st_mtime > kKeepSeconds;
    if (++finished > kKeepRuns || old) unlink(path.c_str());
  }
}

}  // namespace tonbo
