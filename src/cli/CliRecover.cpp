#include "cli/CliRecover.h"

#include <cstdlib>

#include "cli/CliRun.h"
#include "common/Paths.h"
#include "core/RunHistory.h"

namespace tonbo::cli {
namespace {

// The counts and the log of a recovery or undo; true when nothing was left.
// Names in the log, the error and the note are escaped like every name
// tonbo-cli prints.
bool Report(const RecoveryResult& r, const char* movedText, Reporter& report) {
  if (!r.error.empty()) {
    report.Error(Escaped(r.error));
    for (const std::string& line : r.log) report.Note(ShownName(line));
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

// The folders given to --undo-last and --runs as the journal holds folders:
// absolute, without "." and ".." parts; one that exists also by its real
// path (the run may have named it through a link, or not).
std::vector<std::string> Folders(const std::vector<std::string>& given) {
  std::vector<std::string> out;
  for (const std::string& path : given) {
    const std::string full = AbsolutePath(path);  // no "." parts, no doubled "/"
    std::string folder;
    for (size_t at = 1; at < full.size();) {
      const size_t end = std::min(full.find('/', at), full.size());
      const std::string part = full.substr(at, end - at);
      if (part == "..")
        folder.erase(std::min(folder.rfind('/'), folder.size()));
      else
        folder += "/" + part;
      at = end + 1;
    }
    if (folder.empty()) folder = "/";
    out.push_back(folder);
    if (char* real = realpath(folder.c_str(), nullptr)) {
      if (folder != real) out.emplace_back(real);
      std::free(real);
    }
  }
  return out;
}

// A file of the undo: "  x_a.txt → a.txt", with the folder when the run had several.
std::string StepLine(const UndoStep& step, bool oneFolder) {
  const std::string now = oneFolder ? ExtractFileName(step.now) : step.now;
  return "  " + (step.now.empty() ? std::string("（ごみ箱）") : Escaped(now)) + " → " +
         Escaped(ExtractFileName(step.back)) + step.problem;
}

// What the undo will do, before anything moves: the run, its first files
// and every file that cannot go back. True when it can be undone.
bool ShowUndo(const std::string& journal, const UndoPreview& preview, Reporter& report) {
  constexpr size_t kShown = 5;
  std::string text =
      "元に戻す名前の変更：" + Described(preview.run) + "\nID：" +
      Escaped(ExtractFileName(journal).substr(0, ExtractFileName(journal).rfind('.')));
  const bool oneFolder = preview.run.folders.size() == 1;
  size_t shown = 0, going = 0;
  for (const UndoStep& step : preview.steps) {
    if (!step.problem.empty()) continue;
    if (++going <= kShown) text += "\n" + StepLine(step, oneFolder), ++shown;
  }
  if (going > shown) text += "\n  …（ほか " + std::to_string(going - shown) + " 個）";
  // A journal that cannot be read tells no folders: only its refusal is said.
  if (!preview.run.folders.empty()) report.Note(text);
  if (!preview.refusal.empty()) {
    report.Error(Escaped(preview.refusal));
    return false;
  }
  if (preview.blocked == 0) return true;
  std::string blocked = "元に戻せないファイル（" + std::to_string(preview.blocked) + " 個）：";
  for (const UndoStep& step : preview.steps)
    if (!step.problem.empty()) blocked += "\n" + StepLine(step, oneFolder);
  report.Note(blocked);
  report.Error(
      "元に戻せないファイルがあるため、この名前変更は元に戻しません（何も変更していません）。");
  const std::vector<std::string> newer = RunsInTheWay(journal, preview);
  if (!newer.empty()) {
    std::string ids;
    for (const std::string& id : newer) ids += (ids.empty() ? "" : "、") + Escaped(id);
    report.Error("後の名前変更（" + ids +
                 "）が同じファイルを変えています。先にそちらを --undo で元に戻してください。");
  }
  return false;
}

int Undo(const CliOptions& o, Reporter& report) {
  UndoChoice choice;
  if (!o.undoRun.empty())
    choice = FindRun(o.undoRun);
  else
    choice = LastUndoableRun(JournalDirDisk(), Folders(o.paths));
  if (!choice.refusal.empty()) {
    report.Error(Escaped(choice.refusal));
    return kExitIncomplete;
  }
  if (choice.journal.empty()) {
    report.Error(o.paths.empty()
                     ? "元に戻せる名前変更の記録がありません。"
                     : "そのフォルダのファイルを変えた、元に戻せる名前変更の記録がありません。");
    return kExitIncomplete;
  }
  if (!ShowUndo(choice.journal, PreviewUndo(choice.journal), report)) return kExitIncomplete;
  if (!o.apply) {
    report.Note("ディスクは変更していません。元に戻すには --apply を付けて実行してください。");
    return kExitDone;
  }
  return Report(UndoRun(choice.journal, nullptr, UndoMode::AllOrNothing),
                "個のファイルを元の名前に戻しました。", report)
             ? kExitDone
             : kExitIncomplete;
}

// One line a run, newest first: id, time, files, state, folders; tabs
// between (a tab in a name is escaped).
int ListRuns(const CliOptions& o, std::ostream& out, Reporter& report) {
  const std::vector<std::string> within = Folders(o.paths);
  std::string text;
  bool readable = true;
  for (const KeptRun& run : KeptRuns()) {
    if (!within.empty() &&
        (run.state == RunState::Refused || !TouchesFolders(run.run.folders, within)))
      continue;
    text += Escaped(run.id) + "\t" + run.run.time + "\t" +
            (run.state == RunState::Refused ? "-" : std::to_string(run.run.files)) + "\t" +
            RunStateText(run.state);
    for (const std::string& folder : run.run.folders) text += "\t" + Escaped(folder);
    text += "\n";
    if (run.state == RunState::Refused) {
      report.Error(Escaped(run.refusal));
      readable = false;
    }
  }
  if (text.empty()) {
    report.Info(within.empty() ? "名前変更の記録はありません。"
                               : "そのフォルダのファイルを変えた名前変更の記録はありません。");
    return readable ? kExitDone : kExitIncomplete;
  }
  WriteOut(out, "ID\t日時\tファイル数\t状態\tフォルダ\n" + text);
  return readable ? kExitDone : kExitIncomplete;
}

}  // namespace

int RunJournalCommand(const CliOptions& o, std::ostream& out, Reporter& report) {
  if (o.runs) return ListRuns(o, out, report);
  if (o.undoLast || !o.undoRun.empty()) return Undo(o, report);
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
