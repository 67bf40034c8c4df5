#include "cli/CliRun.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <numeric>

#include "cli/CliListFile.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliRecover.h"
#include "cli/CliReport.h"
#include "cli/CliSteps.h"
#include "common/Errors.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"
#include "core/RenameExecutor.h"
#include "core/RunClashes.h"

namespace tonbo::cli {
namespace {

// Standard output could not take the table or the help: the run's result
// does not reach its reader.
class EOutputError : public ETonboError {
 public:
  explicit EOutputError(int code) : ETonboError("標準出力に書き込めませんでした" + Reason(code)) {}

 private:
  static std::string Reason(int code) {
    switch (code) {
      case ENOSPC:
        return "（ディスクの空きがありません）";
      case EPIPE:
        return "（出力の読み手が終了しました）";
      case EDQUOT:
        return "（ディスクの割り当てを超えました）";
      case EIO:
        return "（入出力エラー）";
      default:
        return "";
    }
  }
};

// A cell of the table as a terminal shows it: controls and bytes that are
// not UTF-8 escaped, back in code page 932 for the table's own writing.
std::string ForTerminal(const std::string& sjis) {
  std::string out;
  return enc::DiskToSjis(Escaped(enc::SjisToDisk(sjis)), out) ? out : "?";
}

// The dry run's counts: rows whose name changes, rows left as they are, clashes.
std::string CountsText(const ClashCheck& check) {
  return "名前が変わる " + std::to_string(check.changed.size()) + " 個、変わらない " +
         std::to_string(check.unchanged) + " 個、衝突 " + std::to_string(check.clashes) + " 個";
}

// An empty list, and what would have added more from the folders.
std::string NoFilesText(const CliOptions& o) {
  std::string text = "名前を変えるファイルがありません。";
  if (!o.recursive) text += "フォルダの下のフォルダのファイルは -r を付けると加えます。";
  if (!o.hidden) text += "\".\" で始まる名前は --hidden を付けると加えます。";
  return text;
}

unsigned long long ClockSeed() {
  return static_cast<unsigned long long>(
      std::chrono::system_clock::now().time_since_epoch().count());
}

class Session {
 public:
  Session(const CliOptions& o, std::ostream& out, std::ostream& err, Reporter& report,
          Ending ending, Terminals terminals)
      : o_(o), out_(out), err_(err), report_(report), ending_(ending), terminals_(terminals) {}
  ~Session() {
    if (ending_ == Ending::LeaveMemory) static_cast<void>(owned_.release());
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // The exit code; throws EUsageError and, from a step, ETonboError.
  int Run();

 private:
  std::vector<std::string> ListedPaths() const;
  void AddFiles(const std::vector<std::string>& sjisPaths);
  void RunSteps();
  void PrintTable() const;
  bool DryRun() const;
  void PrintChanges(const ClashCheck& check) const;
  // The table's encoding: UTF-8 unless code page 932 is asked for, or the
  // locale is not UTF-8 and no terminal reads it.
  bool Utf8Out() const {
    return o_.utf8 || (!o_.sjis && (terminals_.out || terminals_.utf8Locale));
  }
  const char* LineEnd() const { return o_.crlf ? "\r\n" : "\n"; }
  bool Apply();
  bool Keep();

  const CliOptions& o_;
  std::ostream& out_;
  std::ostream& err_;
  Reporter& report_;
  const Ending ending_;
  const Terminals terminals_;
  std::unique_ptr<TCsvDb> owned_ = std::make_unique<TCsvDb>();
  TCsvDb& table_ = *owned_;
  std::vector<int> rows_;  // the rows the last selection chose (all without one)
  bool unread_ = false;    // a folder could not be read: some files are missing
};

int Session::Run() {
  CheckKeepOptions(o_.keep);
  std::vector<std::string> paths = ListedPaths();
  const LoadedLists from = ReadFilesFrom(o_.filesFrom, o_.nulSeparated, report_);
  paths.insert(paths.end(), from.paths.begin(), from.paths.end());
  const LoadedLists loaded = LoadLists(o_.loadLists, report_);
  paths.insert(paths.end(), loaded.paths.begin(), loaded.paths.end());
  AddFiles(paths);
  if (table_.RowCount() == 0) report_.Note(NoFilesText(o_));
  RunSteps();
  if (int err = 0;
      !o_.saveRecipe.empty() && !SaveRecipeFile(o_.saveRecipe, RecipeLines(o_.steps), &err)) {
    report_.Error("手順ファイルを書けませんでした：" + Escaped(o_.saveRecipe) + "（" +
                  ErrnoReason(err) + "）");
    return kExitIncomplete;
  }
  table_.PackTight();  // what the steps left spare is not needed again
  // A list that cannot be kept stops the run before anything on disk changes.
  if (!o_.saveList.empty() && !SaveList(table_, o_.saveList, report_)) return kExitIncomplete;
  bool done = !unread_ && loaded.missing == 0 && from.missing == 0;
  // The batch file, script and backup see the names before --apply changes them.
  if (o_.keep.Any()) done = Keep() && done;
  if (o_.apply)
    done = Apply() && done;
  else if (!o_.keep.Any())
    done = DryRun() && done;
  return done ? kExitDone : kExitIncomplete;
}

bool Session::Keep() {
  TerminalProgress progress(err_, terminals_.err, "バックアップ", terminals_.columns);
  report_.SetProgress(&progress);
  const bool done =
      RunKeepCommands(o_, table_, rows_, report_, terminals_.err ? &progress : nullptr);
  report_.SetProgress(nullptr);
  return done;
}

// Every path exists, or the run ends here.
std::vector<std::string> Session::ListedPaths() const {
  std::vector<std::string> out;
  for (const std::string& given : o_.paths) {
    const std::string disk = AbsolutePath(given);
    struct stat st {};
    if (lstat(disk.c_str(), &st) != 0)
      throw EUsageError("ファイルまたはフォルダが見つかりません：" + Escaped(given));
    std::string sjis;
    enc::DiskToSjis(disk, sjis);
    out.push_back(std::move(sjis));
  }
  return out;
}

void Session::AddFiles(const std::vector<std::string>& sjisPaths) {
  // The growth question is always answered yes: a script names what it wants.
  int growthLimit = 300;
  FileAdder adder(table_, growthLimit,
                  {[](int) { return true; },
                   [this](const std::vector<std::string>& sjisFolders) {
                     unread_ = true;
                     for (const std::string& folder : sjisFolders)
                       report_.Error(ShownName(folder) + "\nの読み込みに失敗");
                   }});
  // A saved list holds every column, as the window's does.
  adder.SetReadDetails(ReadsFileDates(o_.steps) || !o_.saveList.empty());
  adder.SetFolderWalk({.subfolders = o_.recursive, .dotFiles = o_.hidden, .dotFolders = o_.hidden});
  TerminalProgress progress(err_, terminals_.err, "ファイルの追加", terminals_.columns);
  // Off a terminal nothing is drawn: the work need not report each file.
  adder.SetProgress(terminals_.err ? &progress : nullptr);
  report_.SetProgress(&progress);
  const int added = adder.AddFiles(sjisPaths);
  report_.SetProgress(nullptr);
  report_.Info("今回 " + std::to_string(added) + "個のファイルをリストに追加しました。");
}

void Session::RunSteps() {
  TIniFileEx settings(SettingsPathDisk());
  // As the window warns: the run goes on with the defaults.
  if (settings.TakeUnreadableWarning())
    report_.Error("設定ファイルを読み込めませんでした。\n" + Escaped(settings.FileName()) + "\n" +
                  settings.UnreadableReason() +
                  "\nこのファイルは書き換えず、既定の設定で続けます。");
  settings.SetDeferred(true);  // --set changes this copy only; it is never written back
  std::vector<int>& rows = rows_;
  rows.resize(static_cast<size_t>(table_.RowCount()));
  std::iota(rows.begin(), rows.end(), 0);
  std::mt19937 random(static_cast<std::mt19937::result_type>(o_.seed.value_or(ClockSeed())));
  StepContext context{table_, rows, settings, random, report_};
  context.progress = [this](const std::string& label) {
    return std::make_unique<TerminalProgress>(err_, terminals_.err, label, terminals_.columns);
  };
  for (const Step& step : o_.steps) RunStep(step, context);
}

// Row by row through a small buffer, so a dry run never holds a second
// table; lines are whole in every piece, so each converts on its own.
void Session::PrintTable() const {
  const int columns[] = {colNewName, colExt, colPath};
  std::string lines;
  auto flush = [&] {
    WriteOut(out_, Utf8Out() ? enc::SjisToDisk(lines) : lines);
    lines.clear();
  };
  for (int row = 0; row < table_.RowCount(); ++row) {
    for (int c = 0; c < 3; ++c) {
      if (c > 0) lines.push_back(',');
      const std::string_view cell = table_.GetCell(columns[c], row);
      AppendCsvCell(lines, terminals_.out ? ForTerminal(std::string(cell)) : cell);
    }
    lines.append(LineEnd());
    if (lines.size() >= 1 << 16) flush();
  }
  if (!lines.empty()) flush();
}

// True when every changed row can be applied. A terminal sees the changed
// rows; a file or pipe, and --table, the whole table with the clashes on
// standard error.
bool Session::DryRun() const {
  const ClashCheck check = CheckClashesOnDisk(table_, nullptr);
  if (terminals_.out && !o_.table) {
    PrintChanges(check);
    return check.clashes == 0;
  }
  PrintTable();
  for (const RowClash& r : check.changed)
    if (r.clash != Clash::None)
      report_.Note("衝突：" + ShownName(table_.GetCell(colPath, r.row)) + " → " +
                   ShownName(std::string(table_.GetCell(colNewName, r.row))
                                 .append(table_.GetCell(colExt, r.row))) +
                   ClashText(table_, r));
  report_.Info(CountsText(check) + "（ディスクはまだ変更していません。--apply で変更します）");
  return check.clashes == 0;
}

// Each folder once, then its changed rows as "old → new"; a row that would
// clash starts with "!" and ends with the reason. Names are escaped.
void Session::PrintChanges(const ClashCheck& check) const {
  const std::string eol = LineEnd();
  std::string text, folder;
  auto flush = [&] {
    if (Utf8Out()) {
      WriteOut(out_, text);
    } else {
      std::string sjis;
      enc::DiskToSjis(text, sjis);
      WriteOut(out_, sjis);
    }
    text.clear();
  };
  for (const RowClash& r : check.changed) {
    const std::string path(table_.GetCell(colPath, r.row));
    if (ExtractFilePath(path) != folder) {
      folder = ExtractFilePath(path);
      text += ShownName(folder) + eol;
    }
    text += r.clash == Clash::None ? "  " : "! ";
    text += ShownName(ExtractFileName(path)) + " → ";
    text += table_.MarkedForDeletion(r.row)
                ? std::string("（ごみ箱へ）")
                : ShownName(std::string(table_.GetCell(colNewName, r.row))
                                .append(table_.GetCell(colExt, r.row)));
    text += ClashText(table_, r) + eol;
    if (text.size() >= 1 << 16) flush();
  }
  text += CountsText(check) + eol +
          "ディスクはまだ変更していません。変更するには --apply を付けて実行してください。" + eol;
  flush();
}

volatile std::sig_atomic_t g_stopAsked = 0;

extern "C" void AskStop(int /*signal*/) { g_stopAsked = 1; }

// Ctrl+C or SIGTERM during the run stops it before the next file, as "中止"
// does in the window: the journal is closed and the files not reached keep
// their names. A second signal ends the program at once. A signal held back
// (blocked) before the run is let through when it starts, so it stops the
// run before the first file.
class StopOnSignal : public ProgressSink {
 public:
  explicit StopOnSignal(ProgressSink* shown) : shown_(shown) {
    g_stopAsked = 0;
    struct sigaction action {};
    action.sa_handler = AskStop;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_UNBLOCK, &stops, &oldMask_);
  }
  ~StopOnSignal() override {
    sigprocmask(SIG_SETMASK, &oldMask_, nullptr);
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  bool Step(std::int64_t done, std::int64_t total, const std::string& sjisName) override {
    if (shown_) shown_->Step(done, total, sjisName);
    return g_stopAsked == 0;
  }
  void Finish() override {
    if (shown_) shown_->Finish();
  }

 private:
  ProgressSink* shown_;
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  sigset_t oldMask_{};
};

// True when every row was done.
bool Session::Apply() {
  std::string stoppedAt;
  RenameExecutor executor([this, &stoppedAt](const std::string& target) {
    if (!o_.conflict.stop) return ConflictAnswer{ConflictButton::OkAll, o_.conflict.method};
    stoppedAt = target;
    return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
  });
  executor.SetKeepPaths(false);  // nothing is listed again afterwards
  // Known before the run, so the journal holds it for a recovery to follow.
  if (!o_.conflict.stop) executor.SetMethodForAll(o_.conflict.method);
  TerminalProgress progress(err_, terminals_.err, "名前の変更", terminals_.columns);
  StopOnSignal stop(terminals_.err ? &progress : nullptr);
  executor.SetProgress(&stop);
  report_.SetProgress(&progress);
  const RenameResult result = executor.Run(table_);
  report_.SetProgress(nullptr);
  if (!result.error.empty()) {
    report_.Error(result.error);
    return false;
  }
  if (result.stopped && stoppedAt.empty()) report_.Error("名前の変更を中止しました。");
  report_.Note(std::to_string(result.renamed) + "個のファイルを名前変更しました。");
  if (result.deleted > 0)
    report_.Note(std::to_string(result.deleted) + "個のファイルを削除しました。");
  if (!result.log.empty()) {
    report_.Note(std::to_string(result.notDone) + " 個のファイルを名前変更できませんでした。");
    report_.Note(ToUtf8(result.log));  // its names are escaped already
  }
  if (!result.journalError.empty()) report_.Error(result.journalError);
  if (!stoppedAt.empty())
    report_.Error("同名のファイルがあったので中止しました：" + ShownName(stoppedAt) +
                  "\nこのファイルから後は変更していません。");
  if (result.stopped)
    report_.Note(std::to_string(result.untouched) + "個のファイルは変更していません。");
  return result.notDone == 0 && !result.stopped && result.journalError.empty();
}

}  // namespace

void WriteOut(std::ostream& out, std::string_view text) {
  errno = 0;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) throw EOutputError(errno);
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Ending ending, Terminals terminals) {
  Reporter errors(err, false);
  CliOptions options;
  try {
    options = ParseArguments(args);
  } catch (const EUsageError& e) {
    errors.Error(e.what());
    errors.Note("使い方は tonbo-cli --help で表示されます。");
    return kExitUsage;
  }
  Reporter report(err, options.quiet);
  try {
    if (options.recover != RecoverAction::None || options.undoLast || options.runs ||
        !options.undoRun.empty())
      return RunJournalCommand(options, out, report);
    if (options.help) {
      WriteOut(out, HelpText());
      return kExitDone;
    }
    if (options.version) {
      WriteOut(out, VersionText());
      return kExitDone;
    }
    return Session(options, out, err, report, ending, terminals).Run();
  } catch (const EOutputError& e) {
    errors.Error(e.what());
    return kExitIncomplete;
  } catch (const EUsageError& e) {
    // Raised before the executor runs: the disk is as it was. Names in it are escaped.
    errors.Error(e.what());
    return kExitUsage;
  } catch (const ETonboError& e) {
    // An expression failing on a row: the library's text may quote the row.
    errors.Error(Escaped(e.what()));
    return kExitUsage;
  }
}

}  // namespace tonbo::cli
