#include "core/ListLoad.h"

#include <QString>
#include <algorithm>

#include "common/Errors.h"
#include "common/FileRead.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "common/Utf8.h"
#include "core/ListedEntries.h"
#include "platform/FileOps.h"

namespace tonbo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The cell a saved list gets when its text would also pass for UTF-8.
constexpr std::string_view kSjisMark = "シフトJIS";

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
                        ReadErrorText(err, kMaxCsvBytes),
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
  if (bytes.substr(0, kByteOrderMark.size()) != kByteOrderMark) return std::string(bytes);
  std::string sjis;
  enc::DiskToSjis(bytes.substr(kByteOrderMark.size()), sjis);
  return sjis;
}

// The rows of a list that lie beyond ASCII, where the two readings differ.
size_t BeyondAscii(const std::vector<std::string>& paths) {
  return static_cast<size_t>(std::count_if(paths.begin(), paths.end(), [](const std::string& p) {
    return std::any_of(p.begin(), p.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  }));
}

ListedFiles ReadListBytes(std::string_view bytes) {
  TCsvDb list;
  list.LoadFromText(ListFileText(bytes));
  return CollectListBytes(list, bytes);
}

ListedFiles CollectListBytes(TCsvDb& list, std::string_view bytes) {
  ListedFiles read = CollectListedFiles(list);
  // Unmarked, yet valid UTF-8 as well: a list of another tool, or one that
  // an earlier version saved of names that happen to read as UTF-8 too. It
  // is UTF-8 only when code page 932 finds none of its files beyond ASCII
  // and UTF-8 finds some: a file of the list is never traded for another.
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark || !IsUtf8BeyondAscii(bytes) ||
      BeyondAscii(read.paths) > 0)
    return read;
  std::string sjis;
  enc::DiskToSjis(bytes, sjis);
  list.LoadFromText(sjis);
  ListedFiles asUtf8 = CollectListedFiles(list);
  return BeyondAscii(asUtf8.paths) > 0 ? asUtf8 : read;
}

std::string ListFileBytes(const TCsvDbBase& table) {
  std::string bytes = table.SaveToText();
  if (IsUtf8BeyondAscii(bytes)) {
    // Once more, the mark ending the first row: 0x83, the lead byte of "シ",
    // cannot begin a UTF-8 character.
    bytes.clear();
    const int cols = table.MaxColCount();
    bool marked = false;
    for (int row = 0; row < table.RowCount(); ++row) {
      table.AppendRowText(bytes, row, cols);
      if (marked || !table.RowPresent(row)) continue;
      bytes.insert(bytes.size() - 2, "," + enc::Lit(kSjisMark));
      marked = true;
    }
  }
  // A first cell beginning with the byte order mark's bytes would make the
  // list say UTF-8: an empty line first (empty lines are no rows).
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.insert(0, "\r\n");
  return bytes;
}

void SaveListFile(const TCsvDbBase& table, const std::string& diskPath) {
  SaveCsvText(diskPath, ListFileBytes(table));
}

ListedFiles ReadListFile(const std::string& diskPath) {
  std::string bytes;
  int err = 0;
  if (!ReadWholeFile(diskPath, bytes, &err, kMaxCsvBytes)) FailRead(diskPath, err);
  return ReadListBytes(bytes);
}

}  // namespace tonbo
