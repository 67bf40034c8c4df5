#include "cli/CliRecover.h"

#include "cli/CliRun.h"
#include "core/RunRecovery.h"

namespace tonbo::cli {
namespace {

// The counts and the log of a recovery or undo; true when nothing was left.
// Names in the log, the error and the note are escaped like every name
// tonbo-cli prints.
bool Report(const RecoveryResult& r, const char* movedText, Reporter& report) {
  if (!r.error.empty()) {
    report.Error(Escaped(r.error));
    return false;
  }
  report.Note(std::to_string(r.moved) + movedText);
  if (r.restored > 0)
    report.Note(std::to_string(r.restored) + "個のファイルをごみ箱から戻しました。");
  if (r.deleted > 0) report.Note(std::to_string(r.deleted) + "個のファイルを削除しました。");
  if (r.notDone > 0) {
    report.Note(std::to_string(r.notDone) + " 個のファイルはそのままにしました。");
    for (const std::string& line : r.log) report.Note(ShownName(line));
  }
  if (r.kept)
    report.Error(
        "一時的な名前のまま残ったファイルがあるため、名前の変更の記録は閉じずに残しました。"
        "もう一度 --recover で回復できます。");
  return r.notDone == 0 && !r.kept;
}

int Show(const std::vector<std::string>& journals, std::ostream& out, Reporter& report) {
  bool all = true;
  for (const std::string& journal : journals) {
    if (const std::string refusal = JournalRefusal(journal); !refusal.empty()) {
      report.Error(Escaped(refusal));
      all = false;
      continue;
    }
    int planned = 0, done = 0;
    CountJournal(journal, planned, done);
    std::string text = "記録: " + Escaped(journal) + "\n(" + std::to_string(planned) +
                       " 個のうち " + std::to_string(done) + " 個を変更済みと記録)\n";
    for (const FileState& f : DescribeJournal(journal)) {
      text += f.state;
      if (!f.where.empty()) text += "\t" + Escaped(f.where);
      text += "\t" + Escaped(f.from) + "\t→\t";
      text += f.target.empty() ? "(削除)" : Escaped(f.target.substr(f.target.rfind('/') + 1));
      text += "\n";
    }
    WriteOut(out, text + "\n");
  }
  return all ? kExitDone : kExitIncomplete;
}

// "2026-12-08 05:30:12、3 個のファイル、フォルダ /home/a/写真/"
std::string Described(const RunSummary& run) {
  std::string text = run.time + "、" + std::to_string(run.files) + " 個のファイル、フォルダ ";
  for (size_t i = 0; i < run.folders.size(); ++i) {
    if (i > 0) text += "、";
    if (i == 3) return text + "ほか " + std::to_string(run.folders.size() - 3) + " か所";
    text += Escaped(run.folders[i]);
  }
  return text;
}

}  // namespace

int RunJournalCommand(const CliOptions& o, std::ostream& out, Reporter& report) {
  if (o.undoLast) {
    const UndoChoice choice = LastUndoableRun();
    if (!choice.refusal.empty()) {
      report.Error(Escaped(choice.refusal));
      return kExitIncomplete;
    }
    if (choice.journal.empty()) {
      report.Error("元に戻せる名前変更の記録がありません。");
      return kExitIncomplete;
    }
    report.Note("元に戻す名前の変更：" + Described(SummarizeRun(choice.journal)));
    return Report(UndoRun(choice.journal), "個のファイルを元の名前に戻しました。", report)
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
