#include "core/ListLoad.h"

#include <QString>
#include <algorithm>

#include "common/Errors.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "core/ListedEntries.h"
#include "platform/FileOps.h"

namespace tonbo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Valid UTF-8 holding at least one character beyond ASCII. The check stops
// at the first byte that cannot be UTF-8, which in a code page 932 list of
// Japanese names comes at once.
bool IsUtf8BeyondAscii(std::string_view bytes) {
  const bool beyond = std::any_of(bytes.begin(), bytes.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return beyond && enc::IsUtf8(bytes, false);
}

// The saved new name stands for a file in the same folder only; a name that
// would lead elsewhere ("../x", "a/b") is not looked for.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// The outside bytes of a list's path, empty when it is not one to look at:
// relative, or holding a NUL byte (the system would read a shorter path).
std::string DiskPathToLook(const std::string& sjisPath) {
  if (sjisPath.empty() || sjisPath[0] != '/' || sjisPath.find('\0') != std::string::npos)
    return std::string();
  return enc::SjisToDisk(sjisPath);
}

std::string_view FolderPart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

// Whether the paths of rows [from, to), all in one folder, name files.
std::vector<char> FindFiles(const TCsvDb& list, int from, int to) {
  const std::string first(list.GetCell(colPath, from));
  std::vector<char> found(static_cast<size_t>(to - from));
  if (static_cast<size_t>(to - from) < kListFolderAt || DiskPathToLook(first).empty()) {
    for (int r = from; r < to; ++r)
      found[r - from] = static_cast<char>(IsListedFile(std::string(list.GetCell(colPath, r))));
    return found;
  }
  const size_t nameAt = FolderPart(first).size();
  std::vector<std::string> names;
  names.reserve(found.size());
  for (int r = from; r < to; ++r) {
    const std::string path(list.GetCell(colPath, r));
    // A name holding a NUL byte stays empty: never a file.
    names.push_back(path.find('\0') == std::string::npos ? enc::SjisToDisk(path.substr(nameAt))
                                                         : std::string());
  }
  return FilesInFolder(enc::SjisToDisk(first.substr(0, nameAt)), names);
}

[[noreturn]] void FailRead(const std::string& diskPath, int err) {
  const QString shown = QString::fromUtf8(diskPath.data(), static_cast<qsizetype>(diskPath.size()));
  throw EInOutError("リストのファイルを読み込めません。\n" + shown.toStdString() + "\n" +
                        platform::ErrorText(err),
                    err);
}

}  // namespace

bool IsListedFile(const std::string& sjisPath) { return IsFileEntry(DiskPathToLook(sjisPath)); }

ListedFiles CollectListedFiles(const TCsvDb& list) {
  ListedFiles out;
  const std::string notFound = enc::Lit("ファイルが見つかりません。：");
  const int rows = list.RowCount();
  for (int row = 0; row < rows;) {
    // The run of rows in one folder: from kListFolderAt rows on, the
    // folder's listing answers for all of them at once.
    const std::string_view folder = FolderPart(list.GetCell(colPath, row));
    int end = row + 1;
    while (end < rows && FolderPart(list.GetCell(colPath, end)) == folder) ++end;
    const std::vector<char> found = FindFiles(list, row, end);
    for (int r = row; r < end; ++r) {
      const std::string path(list.GetCell(colPath, r));
      if (found[r - row]) {
        out.paths.push_back(path);
        continue;
      }
      // Rare: looked up alone. A row saved with the delete mark (read back
      // without its leading space) names no file by it: a file that happens
      // to be named so is not that row's.
      const std::string newName(list.GetCell(colNewName, r));
      if (newName == std::string_view(DeleteMark()).substr(1)) {
        out.log += notFound + path + "\r\n";
        out.missing.push_back(path);
        continue;
      }
      const std::string renamed = ExtractFilePath(path) + newName;
      if (IsPlainName(newName) && IsListedFile(renamed)) {
        out.paths.push_back(renamed);
        continue;
      }
      out.log += notFound + renamed + "\r\n";
      out.missing.push_back(renamed);
    }
    row = end;
  }
  return out;
}

std::string ListFileText(std::string_view bytes) {
  const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  if (!marked && !IsUtf8BeyondAscii(bytes)) return std::string(bytes);
  std::string sjis;
  enc::DiskToSjis(bytes, sjis);
  return sjis;
}

ListedFiles ReadListFile(const std::string& diskPath) {
  std::string bytes;
  int err = 0;
  if (!ReadWholeFile(diskPath, bytes, &err)) FailRead(diskPath, err);
  TCsvDb list;
  list.LoadFromText(ListFileText(bytes));
  return CollectListedFiles(list);
}

}  // namespace tonbo
