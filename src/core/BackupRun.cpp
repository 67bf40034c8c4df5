#include "core/BackupRun.h"

#include <cerrno>

#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/RenameReasons.h"
#include "platform/FileOps.h"
#include "text/PathInfo.h"

namespace tonbo {
namespace {

bool Exists(const std::string& sjisPath) { return platform::FileExists(enc::SjisToDisk(sjisPath)); }

}  // namespace

BackupResult BackupRun::Run(const TCsvDb& table, const std::vector<int>& rows,
                            const std::string& sjisFolder) {
  table_ = &table;
  folder_ = IncludeTrailingSlash(sjisFolder);
  result_ = BackupResult();
  listed_.clear();
  listedRead_ = false;
  applyToAll_ = 0;
  std::int64_t done = 0;
  for (int row : rows) {
    if (progress_ && !progress_->Step(done++, static_cast<std::int64_t>(rows.size()),
                                      ExtractFileName(table.GetCell(colPath, row)))) {
      result_.stopped = true;
      break;
    }
    if (!CopyRow(row)) break;
  }
  if (progress_) progress_->Finish();
  table_ = nullptr;
  return std::move(result_);
}

void BackupRun::LogLine(const char* utf8Fixed, const std::string& sjisPath,
                        const std::string& utf8Reason) {
  result_.log += enc::Lit(utf8Fixed) + "\"" + sjisPath + "\"" + enc::Lit(utf8Reason) + "\r\n";
}

bool BackupRun::CopyRow(int row) {
  const std::string base(table_->GetCell(colNewName, row));
  const std::string newName = base + std::string(table_->GetCell(colExt, row));
  const std::string src(table_->GetCell(colPath, row));
  // A file marked for the trash has no new name to be copied under.
  if (table_->MarkedForDeletion(row)) {
    LogLine("コピー失敗：", src, "（削除対象のファイルです）");
    return true;
  }
  if (const RowProblem problem = RefusedName(newName); problem != RowProblem::None) {
    LogLine("コピー失敗：", src, ReasonText(problem));
    return true;
  }
  std::string target = folder_ + newName;
  bool replace = false;
  if (Exists(target) && !Settle(row, target, replace)) return !result_.stopped;
  Copy(row, target, replace);
  return true;
}

// A name taken in the folder: the question, then the method. False when the
// row is not copied (skipped, or the run stops).
bool BackupRun::Settle(int row, std::string& target, bool& replace) {
  const std::string src(table_->GetCell(colPath, row));
  if (applyToAll_ == 0) {
    const ConflictAnswer answer =
        ask_ ? ask_(target) : ConflictAnswer{ConflictButton::Stop, method_};
    applyToAll_ = static_cast<int>(answer.button);
    method_ = answer.method;
  }
  if (applyToAll_ == 2) {
    result_.stopped = true;
    return false;
  }
  const char* skip = "同名ファイルがあったのでスキップ：";
  switch (method_) {
    case ConflictMethod::OverwriteIfNewer:
      if (FileDateOf(src) <= FileDateOf(target)) {
        LogLine(skip, src, "");
        return false;
      }
      [[fallthrough]];
    case ConflictMethod::Overwrite:
      // The list's files stay as they are, also when the folder is the list's own.
      if (IsListedFile(enc::SjisToDisk(target))) {
        LogLine(skip, src, "（リストにあるファイルには上書きしません）");
        return false;
      }
      replace = true;
      return true;
    case ConflictMethod::Number: {
      // NewName + "_" + n + Ext, as the rename run numbers a name.
      const std::string stem = folder_ + std::string(table_->GetCell(colNewName, row)) + "_";
      const std::string ext(table_->GetCell(colExt, row));
      const std::string clash = ExtractFileName(target);
      target = NumberedName(stem, ext);
      result_.log += enc::Lit("適当に改名：") + "\"" + clash + "\"" + enc::Lit("を") + "\"" +
                     target + "\"" + enc::Lit("に改名") + "\r\n";
      return true;
    }
    case ConflictMethod::Skip:
      break;
  }
  LogLine(skip, src, "");
  return false;
}

bool BackupRun::IsListedFile(const std::string& diskPath) {
  if (!listedRead_) {
    listedRead_ = true;
    for (int row = 0; row < table_->RowCount(); ++row) {
      const platform::FileId id =
          platform::IdentityOf(enc::SjisToDisk(table_->GetCell(colPath, row)));
      if (id.Exists()) listed_.emplace(id.dev, id.ino);
    }
  }
  const platform::FileId id = platform::IdentityOf(diskPath);
  return id.Exists() && listed_.count({id.dev, id.ino}) > 0;
}

void BackupRun::Copy(int row, const std::string& target, bool replace) {
  const std::string src(table_->GetCell(colPath, row));
  const std::string from = enc::SjisToDisk(src), to = enc::SjisToDisk(target);
  const int err = replace ? platform::CopyFileReplace(from, to, nullptr)
                          : platform::CopyFileNew(from, to, nullptr);
  if (err == 0) {
    ++result_.copied;
    return;
  }
  std::string reason = ReasonText(err == EEXIST && platform::DirectoryExists(to) ? EISDIR : err);
  if (err == EISDIR && platform::DirectoryExists(from)) reason = "（フォルダはコピーできません）";
  LogLine("コピー失敗：", src, reason);
}

}  // namespace tonbo
