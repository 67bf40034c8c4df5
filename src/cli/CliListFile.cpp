#include "cli/CliListFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "cli/CliOptions.h"
#include "common/Errors.h"
#include "common/FileRead.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "core/ListLoad.h"
#include "core/RenameReasons.h"
#include "platform/FileOps.h"

namespace tonbo::cli {
namespace {

// Why a file could not be read or written; reading a list, also its size limit.
std::string Reason(int err, bool reading = false) {
  if (err == 0) return std::string();
  return "（" + (reading ? ReadErrorText(err, kMaxCsvBytes) : platform::ErrorText(err)) + "）";
}

// Why a path given to add is not there.
std::string MissingReason(int err) {
  if (err == EACCES) return "（フォルダを開く権限がありません）";
  if (err == ENOTDIR) return "（途中の名前がフォルダではありません）";
  return ReasonText(err);
}

std::string ReadStandardInput() {
  std::string bytes;
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n > 0) bytes.append(buf, static_cast<size_t>(n));
    if (bytes.size() > kMaxCsvBytes)
      throw EUsageError("標準入力を読み込めません" + Reason(EFBIG, true));
    if (n == 0) return bytes;
    if (n < 0 && errno != EINTR) throw EUsageError("標準入力を読み込めません" + Reason(errno));
  }
}

std::string ReadPathsFile(const std::string& file, const char* what) {
  if (file == "-") return ReadStandardInput();
  std::string bytes;
  int err = 0;
  if (!ReadWholeFile(file, bytes, &err, kMaxCsvBytes))
    throw EUsageError(std::string(what) + "を読み込めません：" + Escaped(file) + Reason(err, true));
  return bytes;
}

// One path an item; a line's CR before its LF and empty items are dropped.
void TakePaths(std::string_view bytes, char separator, LoadedLists& out, Reporter& report) {
  while (!bytes.empty()) {
    const size_t end = std::min(bytes.find(separator), bytes.size());
    std::string_view item = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (separator == '\n' && !item.empty() && item.back() == '\r') item.remove_suffix(1);
    if (item.empty()) continue;
    const std::string disk = AbsolutePath(std::string(item));
    struct stat st {};
    if (lstat(disk.c_str(), &st) != 0) {
      report.Note("ファイルまたはフォルダが見つかりません：" + Escaped(item) +
                  MissingReason(errno));
      ++out.missing;
      continue;
    }
    std::string sjis;
    enc::DiskToSjis(disk, sjis);
    out.paths.push_back(std::move(sjis));
  }
}

// Whether some row of the list has the path column, as every list Tonbo saves does.
bool IsTonboList(const TCsvDb& list) {
  for (int row = 0; row < list.RowCount(); ++row)
    if (const RowPtr r = list.GetRow(row); r && r->Count() > colPath) return true;
  return false;
}

}  // namespace

LoadedLists ReadFilesFrom(const std::vector<std::string>& files, bool nulSeparated,
                          Reporter& report) {
  LoadedLists out;
  for (const std::string& file : files)
    TakePaths(ReadPathsFile(file, "パスのファイル"), nulSeparated ? '\0' : '\n', out, report);
  return out;
}

LoadedLists LoadLists(const std::vector<std::string>& listFiles, Reporter& report) {
  LoadedLists out;
  for (const std::string& file : listFiles) {
    std::string bytes = ReadPathsFile(file, "リストのファイル");
    TCsvDb list;
    list.LoadFromText(ListFileText(bytes));
    if (list.RowCount() > 0 && !IsTonboList(list)) {
      report.Note("「" + Escaped(file) +
                  "」は Tonbo のリストではないので、一行を一つのパスとして読みます。");
      if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
      TakePaths(bytes, '\n', out, report);
      continue;
    }
    const ListedFiles listed = CollectListBytes(list, bytes);
    if (listed.paths.empty())
      report.Note("何も追加できるファイルがありませんでした：" + Escaped(file));
    for (const std::string& tried : listed.missing)
      report.Note("ファイルが見つかりません。：" + ShownName(tried));
    out.missing += static_cast<int>(listed.missing.size());
    out.paths.insert(out.paths.end(), listed.paths.begin(), listed.paths.end());
  }
  return out;
}

bool SaveList(const TCsvDb& table, const std::string& listFile, Reporter& report) {
  try {
    SaveListFile(table, listFile);
  } catch (const EInOutError& e) {
    report.Error("リストを保存できませんでした：" + Escaped(listFile) + Reason(e.Code()));
    return false;
  }
  report.Info(std::to_string(table.RowCount()) + "個のファイルのリストを保存しました：" +
              Escaped(listFile));
  return true;
}

}  // namespace tonbo::cli
