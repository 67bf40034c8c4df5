#include "cli/CliListFile.h"

#include "cli/CliOptions.h"
#include "common/Errors.h"
#include "common/FileRead.h"
#include "common/Sjis.h"
#include "core/ListLoad.h"
#include "platform/FileOps.h"

namespace tonbo::cli {
namespace {

std::string Reason(const EInOutError& e, bool reading = false) {
  if (e.Code() == 0) return std::string();
  return "（" + (reading ? ReadErrorText(e.Code(), kMaxCsvBytes) : platform::ErrorText(e.Code())) +
         "）";
}

}  // namespace

LoadedLists LoadLists(const std::vector<std::string>& listFiles, Reporter& report) {
  LoadedLists out;
  for (const std::string& file : listFiles) {
    ListedFiles listed;
    try {
      listed = ReadListFile(file);
    } catch (const EInOutError& e) {
      throw EUsageError("リストのファイルを読み込めません：" + Escaped(file) + Reason(e, true));
    }
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
    report.Error("リストを保存できませんでした：" + Escaped(listFile) + Reason(e));
    return false;
  }
  report.Info(std::to_string(table.RowCount()) + "個のファイルのリストを保存しました：" +
              Escaped(listFile));
  return true;
}

}  // namespace tonbo::cli
