#include "cli/CliKeep.h"

#include "cli/CliOptions.h"
#include "cli/CliReport.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/BackupRun.h"
#include "core/BatchWriter.h"
#include "core/RenameReasons.h"
#include "platform/FileOps.h"

namespace tonbo::cli {
namespace {

// done: what is reported once the file is written (null: nothing).
bool WriteOrSay(const std::string& given, const std::string& text, bool executable,
                const char* done, Reporter& report) {
  const int err = WriteWholeFile(AbsolutePath(given), text, executable);
  if (err != 0) {
    report.Error("「" + Escaped(given) + "」に書き込めませんでした" + ReasonText(err));
    return false;
  }
  if (done) report.Info(done);
  return true;
}

bool Backup(const CliOptions& o, const TCsvDb& table, const std::vector<int>& rows,
            Reporter& report, ProgressSink* progress) {
  std::string stoppedAt;
  BackupRun run([&o, &stoppedAt](const std::string& target) {
    if (!o.conflict.stop) return ConflictAnswer{ConflictButton::OkAll, o.conflict.method};
    stoppedAt = target;
    return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
  });
  std::string folder;
  enc::DiskToSjis(AbsolutePath(o.keep.backupFolder), folder);
  run.SetProgress(progress);
  const BackupResult result = run.Run(table, rows, folder);
  report.Note(std::to_string(result.copied) + "個のファイルをコピーしました。");
  if (!result.log.empty()) {
    report.Note("バックアップに際してログが記録されています。");
    report.Note(ShownLines(result.log));
  }
  if (result.stopped)
    report.Error("同名のファイルがあったので中止しました：" + ShownName(stoppedAt) +
                 "\n処理は途中で中止されました。");
  return result.log.empty() && !result.stopped;
}

}  // namespace

void CheckKeepOptions(const KeepOptions& keep) {
  if (!keep.backupFolder.empty() && !platform::DirectoryExists(AbsolutePath(keep.backupFolder)))
    throw EUsageError("バックアップ先のフォルダが見つかりません：" + Escaped(keep.backupFolder));
}

bool RunKeepCommands(const CliOptions& o, const TCsvDb& table, const std::vector<int>& rows,
                     Reporter& report, ProgressSink* progress) {
  bool done = true;
  if (!o.keep.batch.empty()) {
    const BatchFile batch = BatchText(table);
    const bool written = WriteOrSay(
        o.keep.batch, batch.text, false,
        batch.left == 0 ? "リストの全ファイルについてバッチファイルに変換しました。" : nullptr,
        report);
    if (written && batch.left > 0) {
      report.Note(std::to_string(batch.left) + " 個のファイルはバッチファイルに書きませんでした。");
      report.Note(ToUtf8(batch.log));  // its names are escaped already
    }
    done = written && batch.left == 0 && done;
  }
  if (!o.keep.script.empty())
    done = WriteOrSay(o.keep.script, ShellScriptText(table), true,
                      "リストの全ファイルについてシェルスクリプトに変換しました。", report) &&
           done;
  if (!o.keep.backupFolder.empty()) done = Backup(o, table, rows, report, progress) && done;
  return done;
}

}  // namespace tonbo::cli
