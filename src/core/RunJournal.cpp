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

#include "common/Folders.h"
#include "platform/FileOps.h"

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

// Names may hold any byte but "/" and NUL: tab, line ends, "%" and other
// control bytes are written as %XX so that a record stays one line.
// Plain stretches go in whole: a byte at a time was a good part of the
// plan's cost in a large run.
void AppendEscaped(std::string& out, const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  auto escaped = [](unsigned char c) { return c < 0x20 || c == 0x7f || c == '%'; };
  size_t plain = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!escaped(c)) continue;
    out.append(text, plain, i - plain);
    const char code[3] = {'%', hex[c >> 4], hex[c & 15]};
    out.append(code, 3);
    plain = i + 1;
  }
  out.append(text, plain, std::string::npos);
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
  for (std::uint64_t v : {id.dev, id.ino}) {
    out += '\t';
    AppendNumber(out, v);
  }
  for (std::int64_t v : {id.size, id.mtimeNs}) {
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

// Which records a line may be, and with how many fields (older journals
// wrote the shorter forms).
bool FieldsFit(const std::string& k, size_t n) {
  if (k == "F") return n == 3;
  if (k == "P") return n == 10 || n == 12;
  if (k == "D") return n == 8 || n == 9;
  if (k == "r") return n == 2 || n == 4 || n == 5;
  if (k == "V") return n == 6 || n == 7;
  if (k == "N") return n == 3;
  if (k == "A") return n == 4;
  if (k == "complete") return n == 4;
  if (k == "closed") return n == 2;
  if (k == "planned") return n == 1;
  return (k == "p" || k == "u" || k == "b" || k == "t" || k == "v") && n == 2;
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

// A number written by Tonbo: digits only (a "-" for the rows and answers
// that may be -1), within the type; false for anything else.
template <typename T>
bool Parse(const std::string& text, T& v) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty() && text[0] != '+';
}

// A name within a folder: not empty, no "/" or NUL, not "." or "..".
bool PlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// A folder: absolute, ending in "/", no NUL, no "." or ".." step.
bool PlainFolder(const std::string& dir) {
  if (dir.empty() || dir.front() != '/' || dir.back() != '/' || dir.find('\0') != std::string::npos)
    return false;
  return dir.find("/./") == std::string::npos && dir.find("/../") == std::string::npos;
}

// dev ino size mtime from f[at]; the size is never negative.
bool ParseId(const std::vector<std::string>& f, size_t at, platform::FileId& id) {
  return Parse(f[at], id.dev) && Parse(f[at + 1], id.ino) && Parse(f[at + 2], id.size) &&
         Parse(f[at + 3], id.mtimeNs) && id.size >= 0 && id.ino != 0;
}

// Reads a file line by line through a small buffer.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  enum Result { Line, End, Cut, TooLong, Failed };
  Result Next(std::string& line) {
    line.clear();
    while (true) {
      const size_t eol = buffer_.find('\n', at_);
      if (eol != std::string::npos) {
        line.assign(buffer_, at_, eol - at_);
        at_ = eol + 1;
        return Line;
      }
      if (buffer_.size() - at_ > kMaxLine) return TooLong;
      buffer_.erase(0, at_);
      at_ = 0;
      char chunk[1 << 16];
      const ssize_t n = read(fd_, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failed;
      if (n == 0) return buffer_.empty() ? End : Cut;
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

 private:
  // A folder of 4,096 bytes, every byte escaped, and room to spare.
  static constexpr size_t kMaxLine = 1 << 16;
  int fd_;
  std::string buffer_;
  size_t at_ = 0;
};

std::string FaultAt(long long line) {
  return "名前の変更の記録の " + std::to_string(line) + " 行目が、Tonboの書く形ではありません";
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
  fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
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
                               const std::string& parkedName, int extLength) {
  PlanEntry("P", row, dir, from, id);
  buffer_ += '\t';
  AppendEscaped(buffer_, to);
  buffer_ += '\t';
  AppendEscaped(buffer_, parkedName);
  buffer_ += '\t';
  AppendNumber(buffer_, id.btimeNs);
  buffer_ += '\t';
  AppendNumber(buffer_, extLength);
  buffer_ += '\n';
  FlushPlan();
}

void JournalWriter::PlanTrash(int row, const std::string& dir, const std::string& name,
                              const platform::FileId& id) {
  PlanEntry("D", row, dir, name, id);
  buffer_ += '\t';
  AppendNumber(buffer_, id.btimeNs);
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
  // The line is put together on the stack and appended once: a step is
  // written for every file of a run.
  char line[4 + 4 * 24];
  char* at = line;
  *at++ = kind;
  *at++ = '\t';
  at = std::to_chars(at, line + sizeof line, row).ptr;
  if (id) {
    for (std::int64_t v : {id->size, id->mtimeNs, id->btimeNs}) {
      *at++ = '\t';
      at = std::to_chars(at, line + sizeof line, v).ptr;
    }
  }
  *at++ = '\n';
  buffer_.append(line, at);
  if (++steps_ % kStepsPerWrite == 0) Write(steps_ % (kStepsPerWrite * kWritesPerSync) == 0);
}

bool JournalWriter::NewTarget(int row, const std::string& name) {
  if (fd_ < 0) return true;
  buffer_ += "N\t";
  AppendNumber(buffer_, row);
  buffer_ += '\t';
  AppendEscaped(buffer_, name);
  buffer_ += '\n';
  return Write(false);
}

bool JournalWriter::Victim(int row, const platform::FileId& id) {
  if (fd_ < 0) return true;
  buffer_ += "V\t";
  AppendNumber(buffer_, row);
  AppendId(buffer_, id);
  buffer_ += '\t';
  AppendNumber(buffer_, id.btimeNs);
  buffer_ += '\n';
  return Write(false);
}

void JournalWriter::Answer(int row, int method, bool all) {
  if (fd_ < 0) return;
  buffer_ += "A\t";
  AppendNumber(buffer_, row);
  buffer_ += '\t';
  AppendNumber(buffer_, method);
  buffer_ += all ? "\t1\n" : "\t0\n";
  // An answer given before the run is part of the plan.
  if (row >= 0) Write(false);
}

bool JournalWriter::Write(bool sync) {
  if (!buffer_.empty() && !writeError_) writeError_ = WriteAll(fd_, buffer_);
  buffer_.clear();
  if (sync && !writeError_ && fdatasync(fd_) != 0) writeError_ = errno;
  return writeError_ == 0;
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

int OpenJournal(const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

bool InJournalFolder(const std::string& path, const std::string& dir) {
  const std::string suffix = kSuffix;
  if (path.size() <= dir.size() + suffix.size() || path.compare(0, dir.size(), dir) != 0)
    return false;
  const std::string name = path.substr(dir.size());
  return PlainName(name) && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ReadJournal(const std::string& path, Journal& out) {
  const int fd = OpenJournal(path, O_RDONLY);
  if (fd < 0) {
    out = Journal();
    out.fault = "名前の変更の記録を読めませんでした（" + platform::ErrorText(errno) + "）";
    return false;
  }
  const bool read = ReadJournalFd(fd, path, out);
  close(fd);
  return read;
}

bool ReadJournalFd(int fd, const std::string& path, Journal& out) {
  out = Journal();
  out.path = path;
  long long number = 1;
  auto fail = [&](std::string why) {
    out.fault = std::move(why);
    out.entries.clear();
    out.entries.shrink_to_fit();
    return false;
  };
  LineReader reader(fd);
  std::string line;
  if (lseek(fd, 0, SEEK_SET) != 0 || reader.Next(line) != LineReader::Line)
    return fail("名前の変更の記録ではありません");
  std::vector<std::string> f = Split(line);
  if (f.size() != 4 || f[0] != kMagic) return fail("名前の変更の記録ではありません");
  if (f[1] != kFormat) return fail("名前の変更の記録の形式（" + f[1] + "）を読めません");
  out.kind = f[2];
  out.source = Unescape(f[3]);
  // An undo or a recovery works on a journal beside this one, a run on none.
  const std::string dir = path.substr(0, path.rfind('/') + 1);
  if (out.kind == "run" ? !out.source.empty()
                        : (out.kind != "undo" && out.kind != "recover") ||
                              !InJournalFolder(out.source, dir) || out.source == path)
    return fail(FaultAt(number));
  std::vector<std::string> folders;
  // The plan's rows come in rising order, so a step finds its row by search.
  auto entry = [&](const std::string& row) -> JournalEntry* {
    int r = 0;
    if (!Parse(row, r)) return nullptr;
    const auto it = std::lower_bound(out.entries.begin(), out.entries.end(), r,
                                     [](const JournalEntry& e, int v) { return e.row < v; });
    return it != out.entries.end() && it->row == r ? &*it : nullptr;
  };
  while (true) {
    const LineReader::Result got = reader.Next(line);
    ++number;
    // A line cut short by a crash (no line end) says nothing for sure, and
    // ends the file; what was read before it holds.
    if (got == LineReader::End || got == LineReader::Cut) break;
    if (got != LineReader::Line) return fail(FaultAt(number));
    f = Split(line);
    const std::string& k = f[0];
    if (!FieldsFit(k, f.size())) return fail(FaultAt(number));
    const bool planLine = k == "F" || k == "P" || k == "D" || (k == "A" && f[1] == "-1");
    // The plan comes whole before "planned"; steps, the end and the close mark after it.
    if (k == "planned" ? out.planned : planLine == out.planned && k != "closed")
      return fail(FaultAt(number));
    if (out.complete && k != "closed") return fail(FaultAt(number));
    if (k == "F") {
      size_t n = 0;
      const std::string folder = Unescape(f[2]);
      if (!Parse(f[1], n) || n != folders.size() || !PlainFolder(folder))
        return fail(FaultAt(number));
      folders.push_back(folder);
    } else if (k == "P" || k == "D") {
      JournalEntry e;
      e.kind = k[0];
      size_t folder = 0;
      if (!Parse(f[1], e.row) || e.row < 0 || !Parse(f[2], folder) || folder >= folders.size() ||
          !ParseId(f, 3, e.id) || (!out.entries.empty() && e.row <= out.entries.back().row))
        return fail(FaultAt(number));
      e.dir = folders[folder];
      e.from = Unescape(f[7]);
      bool fits = PlainName(e.from);
      if (e.kind == 'P') {
        e.to = Unescape(f[8]);
        e.parked = Unescape(f[9]);
        fits = fits && PlainName(e.to) && (e.parked.empty() || PlainName(e.parked));
        if (f.size() == 12)
          fits = fits && Parse(f[10], e.id.btimeNs) && Parse(f[11], e.extLength) &&
                 e.extLength >= -1 && static_cast<size_t>(e.extLength + 1) <= e.to.size();
      } else if (f.size() == 9) {
        fits = fits && Parse(f[8], e.id.btimeNs);
      }
      if (!fits) return fail(FaultAt(number));
      out.entries.push_back(std::move(e));
    } else if (k == "A") {
      int row = 0, method = 0;
      if (!Parse(f[1], row) || !Parse(f[2], method) || method < 0 || method > 3 ||
          (f[3] != "0" && f[3] != "1"))
        return fail(FaultAt(number));
      if (row == -1) {
        out.allMethod = f[3] == "1" ? method : -1;
      } else {
        JournalEntry* e = entry(f[1]);
        if (!e) return fail(FaultAt(number));
        e->answer = method;
        if (f[3] == "1") out.allMethod = method;
      }
    } else if (k == "planned") {
      out.planned = true;
    } else if (k == "complete") {
      if (!Parse(f[1], out.renamed) || !Parse(f[2], out.deleted) || !Parse(f[3], out.notDone))
        return fail(FaultAt(number));
      out.complete = true;
    } else if (k == "closed") {
      out.closed = Unescape(f[1]);
    } else {
      JournalEntry* e = entry(f[1]);
      if (!e || (e->kind == 'D') != (k == "t")) return fail(FaultAt(number));
      if (k == "r") {
        e->renamed = true, e->isParked = false;
        if (f.size() >= 4 &&
            !(Parse(f[2], e->id.size) && Parse(f[3], e->id.mtimeNs) && e->id.size >= 0))
          return fail(FaultAt(number));
        if (f.size() == 5 && !Parse(f[4], e->id.btimeNs)) return fail(FaultAt(number));
      }
      if (k == "p") e->isParked = !e->parked.empty();
      if (k == "u" || k == "b") e->renamed = false, e->isParked = false;
      if (k == "t") e->trashed = true;
      if (k == "v") e->victimTrashed = e->hasVictim;
      if (k == "N") {
        e->numbered = Unescape(f[2]);
        if (!PlainName(e->numbered)) return fail(FaultAt(number));
      }
      if (k == "V") {
        if (!ParseId(f, 2, e->victim) || (f.size() == 7 && !Parse(f[6], e->victim.btimeNs)))
          return fail(FaultAt(number));
        e->hasVictim = true;
      }
    }
  }
  return true;
}

std::vector<std::string> ListJournals(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    const std::string suffix = kSuffix;
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.size() <= suffix.size() ||
          n.compare(n.size() - suffix.size(), suffix.size(), suffix) != 0)
        continue;
      // A FIFO, a link or a folder named like a journal is none.
      struct stat st {};
      if (e->d_type == DT_REG ||
          (e->d_type == DT_UNKNOWN && lstat((dir + n).c_str(), &st) == 0 && S_ISREG(st.st_mode)))
        names.push_back(dir + n);
    }
    closedir(d);
  }
  std::sort(names.rbegin(), names.rend());
  return names;
}

bool JournalInUse(const std::string& path) {
  const int fd = OpenJournal(path, O_RDONLY);
  if (fd < 0) return false;
  const bool busy = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return busy;
}

// A run killed while writing leaves its last line cut short. It says
// nothing for sure, and once a line follows it would read as a whole line
// (a step of another row, a name cut in two): it is taken away. False when
// the file cannot be made to end with a whole line.
bool DropCutLine(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  const off_t tail = std::min<off_t>(st.st_size, 1 << 17);
  std::string end(static_cast<size_t>(tail), '\0');
  if (pread(fd, end.data(), end.size(), st.st_size - tail) != tail) return false;
  if (end.empty() || end.back() == '\n') return true;
  const size_t eol = end.rfind('\n');
  return eol != std::string::npos &&
         ftruncate(fd, st.st_size - tail + static_cast<off_t>(eol) + 1) == 0;
}

int CloseJournalFd(int fd, const std::string& how) {
  // Only a journal gets the mark: never a file a damaged journal names.
  const std::string magic = std::string(kMagic) + "\t";
  std::string head(magic.size(), '\0');
  if (pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size()) || head != magic)
    return EINVAL;
  if (!DropCutLine(fd)) return EIO;
  std::string line = "closed\t";
  AppendEscaped(line, how);
  line += '\n';
  int err = WriteAll(fd, line);
  if (!err && fsync(fd) != 0) err = errno;
  return err;
}

int CloseJournal(const std::string& path, const std::string& how) {
  const int fd = OpenJournal(path, O_RDWR | O_APPEND);
  if (fd < 0) return errno;
  const int err = CloseJournalFd(fd, how);
  close(fd);
  return err;
}

JournalStatus PeekJournal(const std::string& path) {
  JournalStatus status;
  const int fd = OpenJournal(path, O_RDONLY);
  if (fd < 0) return status;
  std::string head;
  LineReader reader(fd);
  if (reader.Next(head) == LineReader::Line) {
    const std::vector<std::string> f = Split(head);
    if (f.size() >= 3 && f[0] == kMagic) status.kind = f[2];
    if (f.size() >= 2 && f[0] == kMagic && f[1] != kFormat) status.format = f[1];
  }
  // Reading every journal would cost as much as the runs: the last lines say enough.
  struct stat st {};
  if (!status.kind.empty() && fstat(fd, &st) == 0) {
    const off_t tail = std::min<off_t>(st.st_size, 512);
    std::string end(static_cast<size_t>(tail), '\0');
    if (pread(fd, end.data(), end.size(), st.st_size - tail) == tail) {
      status.complete = end.find("\ncomplete\t") != std::string::npos;
      status.closed = end.find("\nclosed\t") != std::string::npos;
    }
  }
  close(fd);
  return status;
}

void PruneJournals(const std::string& dir, const JournalKeep& keep) {
  const time_t now = time(nullptr);
  const time_t keepSeconds = time_t{keep.days} * 24 * 3600;
  int finished = 0;
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (JournalInUse(path) || !status.format.empty()) continue;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (!(status.complete || status.closed)) {
      // A run that ended before its plan was written changed nothing (an
      // hour on, so that a run just starting is never touched). A damaged
      // journal is kept, as it may still tell where files are.
      Journal j;
      if (now - st.st_mtime > 3600 && ReadJournal(path, j) && !j.planned) unlink(path.c_str());
      continue;
    }
    const bool old = now - st.st_mtime > keepSeconds;
    if (++finished > keep.runs || old) unlink(path.c_str());
  }
}

}  // namespace tonbo
