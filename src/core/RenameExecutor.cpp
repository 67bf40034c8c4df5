#include "core/RenameExecutor.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "common/Paths.h"
#include "common/Sjis.h"
#include "platform/FileOps.h"

namespace tonbo {
namespace {

// Last-write time at two-second resolution; 0 when the file is missing.
long long FileTime(const std::string& disk) {
  struct stat st {};
  if (lstat(disk.c_str(), &st) != 0) return 0;
  return static_cast<long long>(st.st_mtime) & ~1LL;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

nlink_t LinkCount(const std::string& disk) {
  struct stat st {};
  return lstat(disk.c_str(), &st) == 0 ? st.st_nlink : 0;
}

// Equal but for the letter case of A-Z (byte by byte, never allocating).
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool Exists(const std::string& sjisPath) { return platform::FileExists(enc::SjisToDisk(sjisPath)); }

}  // namespace

RenameResult RenameExecutor::Run(const TCsvDb& table) {
  result_ = RenameResult();
  if (keepPaths_) result_.paths.reserve(static_cast<size_t>(table.RowCount()));
  applyToAll_ = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    RunRow(table, row);
    if (applyToAll_ == 2) {
      // Stopped: this row and every later one stay as they are.
      for (int rest = row; rest < table.RowCount(); ++rest) Keep(table.GetCell(colPath, rest));
      break;
    }
  }
  folder_.Close();
  return std::move(result_);
}

void RenameExecutor::RunRow(const TCsvDb& table, int row) {
  const std::string& src = table.GetCell(colPath, row);
  const std::string& base = table.GetCell(colNewName, row);
  const std::string newName = base + table.GetCell(colExt, row);
  std::string dst = ExtractFilePath(src) + newName;
  if (base == DeleteMark()) {
    if (!Delete(src)) Keep(src);
    return;
  }
  if (src == dst) {
    Keep(dst);
    return;
  }
  // Mostly the name is free: the no-replace rename finds that out itself, so
  // the target is looked up once instead of twice (a large share of a big
  // run). A change of letter case only takes the long way with its question,
  // because on a case-folding file system the file itself holds the name.
  const std::string_view oldName = std::string_view(src).substr(src.rfind('/') + 1);
  if (!SameIgnoringAsciiCase(newName, oldName) && RenameIfFree(src, dst)) return;
  if (Exists(dst) && !Settle(src, dst, newName)) return;
  if (applyToAll_ == 2) return;
  Rename(src, dst, newName);
}

bool RenameExecutor::Delete(const std::string& src) {
  std::string message;
  const std::string disk = enc::SjisToDisk(src);
  int err = platform::MoveToTrash(disk, &message);
  // A file that is already gone counts as deleted; one that stays is kept listed.
  if (err == 0 || (err == ENOENT && !platform::FileExists(disk))) {
    ++result_.deleted;
    return true;
  }
  ++result_.notDone;
  Log("ごみ箱に移動できませんでした：\"%s\"（%s）\r\n", src, enc::Lit(message));
  return false;
}

bool RenameExecutor::Settle(const std::string& src, std::string& dst, const std::string& newName) {
  if (applyToAll_ == 0) {
    ConflictAnswer answer = ask_ ? ask_(dst) : ConflictAnswer{ConflictButton::Stop, method_};
    applyToAll_ = static_cast<int>(answer.button);
    method_ = answer.method;
    if (applyToAll_ == 2) return false;
  }
  const std::string diskSrc = enc::SjisToDisk(src), diskDst = enc::SjisToDisk(dst);
  switch (method_) {
    case ConflictMethod::OverwriteIfNewer:
      if (FileTime(diskDst) >= FileTime(diskSrc)) {
        Log("書込先ファイルの方が新しかったのでスキップ：\"%s\"←\"%s\"\r\n", newName, src);
        ++result_.notDone;
        Keep(dst);
        return false;
      }
      [[fallthrough]];
    case ConflictMethod::Overwrite: {
      // The file that held the name goes to the trash, where it can be restored.
      std::string message;
      if (!SameFile(diskSrc, diskDst)) platform::MoveToTrash(diskDst, &message);
      return true;
    }
    case ConflictMethod::Number: {
      const std::string dir = ExtractFilePath(src);
      const std::string base = ExtractFileBase(newName), ext = ExtractFileExt(newName);
      int n = 1;
      do {
        dst = dir + base + "_" + std::to_string(n++) + ext;
      } while (Exists(dst));
      return true;
    }
    case ConflictMethod::Skip:
      Log("同名ファイルがあったのでスキップ：\"%s\"←\"%s\"\r\n", newName, src);
      ++result_.notDone;
      Keep(src);
      return false;
  }
  return false;
}

bool RenameExecutor::RenameIfFree(const std::string& src, const std::string& dst) {
  const std::string diskSrc = enc::SjisToDisk(src), diskDst = enc::SjisToDisk(dst);
  const size_t cut = diskSrc.rfind('/') + 1;
  // "/" is never part of a double-byte character, so the folder parts compare as bytes.
  const bool sameFolder =
      diskDst.rfind('/') + 1 == cut && diskDst.compare(0, cut, diskSrc, 0, cut) == 0;
  const int err = sameFolder
                      ? folder_.RenameNoReplaceIn(std::string_view(diskSrc).substr(0, cut),
                                                  diskSrc.c_str() + cut, diskDst.c_str() + cut)
                      : platform::RenameNoReplace(diskSrc, diskDst);
  if (err != 0) return false;
  Keep(dst);
  ++result_.renamed;
  return true;
}

void RenameExecutor::Rename(const std::string& src, const std::string& dst,
                            const std::string& newName) {
  const std::string diskSrc = enc::SjisToDisk(src), diskDst = enc::SjisToDisk(dst);
  int err = platform::RenameNoReplace(diskSrc, diskDst);
  // Only letter case differs on a file system that ignores case: the name
  // that is "taken" is the file itself, so nothing else can be replaced.
  if (err == EEXIST && SameFile(diskSrc, diskDst) && LinkCount(diskSrc) == 1)
    err = ::rename(diskSrc.c_str(), diskDst.c_str()) == 0 ? 0 : errno;
  if (err == 0) {
    Keep(dst);
    ++result_.renamed;
    return;
  }
  ++result_.notDone;
  Log("名前の変更に失敗：\"%s\"←\"%s\"\r\n", newName, src);
}

void RenameExecutor::Log(const char* utf8Format, const std::string& first,
                         const std::string& second) {
  std::string format = enc::Lit(utf8Format);
  size_t at = format.find("%s");
  format.replace(at, 2, first);
  at = format.find("%s", at + first.size());
  format.replace(at, 2, second);
  result_.log += format;
}

}  // namespace tonbo
