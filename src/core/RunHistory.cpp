#include "core/RunHistory.h"

#include <unordered_set>

namespace tonbo {
namespace {

std::string IdOf(const std::string& journal) {
  const std::string name = journal.substr(journal.rfind('/') + 1);
  return name.substr(0, name.rfind('.'));
}

RunState StateOf(const Journal& j) {
  if (JournalInUse(j.path)) return RunState::Running;
  if (j.closed == "undone") return RunState::Undone;
  if (j.closed == "rolled back") return RunState::RolledBack;
  if (j.closed == "finished") return RunState::Recovered;
  if (j.complete) return RunState::Finished;
  // One whose journal could not be completed shows by its files that it ended.
  return FinishedOnDisk(j) ? RunState::Finished : RunState::Interrupted;
}

}  // namespace

const char* RunStateText(RunState state) {
  switch (state) {
    case RunState::Finished:
      return "完了";
    case RunState::Recovered:
      return "回復で完了";
    case RunState::Undone:
      return "元に戻した";
    case RunState::RolledBack:
      return "変更前に戻した";
    case RunState::Interrupted:
      return "途中で終了";
    case RunState::UndoCutOff:
      return "元に戻す途中で終了";
    case RunState::Running:
      return "実行中";
    case RunState::Refused:
      return "読めない記録";
  }
  return "";
}

std::vector<KeptRun> KeptRuns(const std::string& dir) {
  std::vector<KeptRun> runs;
  std::unordered_set<std::string> undoing;  // runs whose undo was cut off
  for (const std::string& path : ListJournals(dir)) {
    const JournalStatus status = PeekJournal(path);
    if (status.kind == "recover") continue;
    Journal j;
    if (status.kind == "undo") {
      if (!status.complete && !status.closed && ReadJournal(path, j) && !j.complete &&
          j.closed.empty() && !JournalInUse(path))
        undoing.insert(j.source);
      continue;
    }
    KeptRun& run = runs.emplace_back();
    run.journal = path;
    run.id = IdOf(path);
    if (!ReadJournal(path, j)) {
      run.state = RunState::Refused;
      run.refusal = JournalRefusal(path);
      run.run = SummarizeRun(path);  // the time, from the name
      continue;
    }
    if (!j.planned) {
      runs.pop_back();
      continue;
    }
    run.run = SummarizeRun(j);
    run.state = StateOf(j);
  }
  for (KeptRun& run : runs)
    if (undoing.count(run.journal) && run.state != RunState::Undone)
      run.state = RunState::UndoCutOff;
  return runs;
}

UndoChoice FindRun(const std::string& id, const std::string& dir) {
  std::vector<std::string> found;
  for (const std::string& path : ListJournals(dir)) {
    const std::string name = IdOf(path);
    if (name == id) return {path, {}};
    if (!id.empty() && name.compare(0, id.size(), id) == 0 && PeekJournal(path).kind != "undo" &&
        PeekJournal(path).kind != "recover")
      found.push_back(path);
  }
  if (found.size() == 1) return {found[0], {}};
  if (found.empty()) return {{}, "その ID の名前変更の記録はありません：" + id};
  return {{},
          "その ID で始まる名前変更の記録が " + std::to_string(found.size()) +
              " 個あります。もっと長く書いてください：" + id};
}

std::vector<std::string> RunsInTheWay(const std::string& journal, const UndoPreview& preview,
                                      const std::string& dir) {
  // Where a newer run would have taken a file of this one, or put one of its own.
  std::unordered_set<std::string> places;
  for (const UndoStep& step : preview.steps) {
    if (step.problem.empty()) continue;
    if (!step.now.empty()) places.insert(step.now);
    places.insert(step.back);
  }
  std::vector<std::string> ids;
  for (const std::string& path : ListJournals(dir)) {
    if (path == journal) break;  // older runs are no newer run's business
    Journal j;
    if (places.empty() || PeekJournal(path).kind != "run" || !ReadJournal(path, j) ||
        j.closed == "undone" || j.closed == "rolled back")
      continue;
    for (const JournalEntry& e : j.entries) {
      if (places.count(e.FromPath()) || (e.kind == 'P' && places.count(e.TargetPath()))) {
        ids.push_back(IdOf(path));
        break;
      }
    }
  }
  return ids;
}

}  // namespace tonbo
