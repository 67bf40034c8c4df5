#include "cli/CliRecover.h"

#include "cli/CliRun.h"
#include "core/RunRecovery.h"

namespace tonbo::cli {
namespace {

// The counts and the log of a recovery or undo; true when nothing was left.
bool Report(const RecoveryResult& r, const char* movedText, Reporter& report) {
  if (!r.error.empty()) {
    report.Error(r.error);
    return false;
  }
  report.Note(std::to_string(r.moved) + movedText);
  if (r.restored > 0)
    report.Note(std::to_string(r.restored) + "個のファイルをごみ箱から戻しました。");
  if (r.deleted > 0) report.Note(std::to_string(r.deleted) + "個のファイルを削除しました。");
  if (r.notDone > 0) {
    report.Note(std::to_string(r.notDone) + " 個のファイルはそのままにしました。");
    report.Note(ToUtf8(r.log));
  }
  return r.notDone == 0;
}

int Show(const std::vector<std::string>& journals, std::ostream& out, Reporter& report) {
  bool all = true;
  for (const std::string& journal : journals) {
    if (const std::string refusal = JournalRefusal(journal); !refusal.empty()) {
      report.Error(refusal);
      all = false;
      continue;
    }
    int planned = 0, done = 0;
    CountJournal(journal, planned, done);
    out << "記録: " << journal << "\n(" << planned << " 個のうち " << done
        << " 個を変更済みと記録)\n"
        << DescribeJournal(journal) << "\n";
  }
  out.flush();
  return all ? kExitDone : kExitIncomplete;
}

}  // namespace

int RunJournalCommand(const CliOptions& o, std::ostream& out, Reporter& report) {
  if (o.undoLast) {
    const std::string journal = LastUndoableJournal();
    if (journal.empty()) {
      report.Error("元に戻せる名前変更の記録がありません。");
      return kExitIncomplete;
    }
    return Report(UndoRun(journal), "個のファイルを元の名前に戻しました。", report)
               ? kExitDone
               : kExitIncomplete;
  }
  const std::vector<std::string> journals = UnfinishedJournals();
  if (journals.empty()) {
    report.Info("途中で終わった名前変更はありません。");
    return kExitDone;
  }
  if (o.recover == RecoverAction::Show) return Show(journals, out, report);
  bool all = true;
  for (const std::string& journal : journals) {
    if (o.recover == RecoverAction::Finish)
      all &= Report(RecoverRun(journal, RecoverMode::Finish),
                    "個のファイルの名前変更を最後まで済ませました。", report);
    else
      all &= Report(RecoverRun(journal, RecoverMode::Rollback),
                    "個のファイルを元の名前に戻しました。", report);
  }
  return all ? kExitDone : kExitIncomplete;
}

}  // namespace tonbo::cli
