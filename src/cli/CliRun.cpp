#include "cli/CliRun.h"

#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <numeric>

#include "cli/CliOptions.h"
#include "cli/CliRecover.h"
#include "cli/CliReport.h"
#include "cli/CliSteps.h"
#include "common/Folders.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/FileAdder.h"
#include "core/RenameExecutor.h"

namespace tonbo::cli {
namespace {

// Whether a step reads the Modified cell: naming by date, serial numbers
// (which may carry the file's date) and selection by date.
bool NeedsDetails(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (const auto* naming = std::get_if<NamingStep>(&step))
      if (naming->kind == NamingStep::Serial || naming->kind == NamingStep::Date) return true;
    if (const auto* select = std::get_if<SelectStep>(&step))
      if (select->options.scope == FilterScope::Date) return true;
  }
  return false;
}

unsigned long long ClockSeed() {
  return static_cast<unsigned long long>(
      std::chrono::system_clock::now().time_since_epoch().count());
}

class Session {
 public:
  Session(const CliOptions& o, std::ostream& out, Reporter& report, Ending ending)
      : o_(o), out_(out), report_(report), ending_(ending) {}
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
  bool Apply();

  const CliOptions& o_;
  std::ostream& out_;
  Reporter& report_;
  const Ending ending_;
  std::unique_ptr<TCsvDb> owned_ = std::make_unique<TCsvDb>();
  TCsvDb& table_ = *owned_;
  bool unread_ = false;  // a folder could not be read: some files are missing
};

int Session::Run() {
  CheckExpressions(o_.steps);
  AddFiles(ListedPaths());
  RunSteps();
  bool done = !unread_;
  if (o_.apply)
    done = Apply() && done;
  else
    PrintTable();
  return done ? kExitDone : kExitIncomplete;
}

// Every path exists and can be written in code page 932, or the run ends here.
std::vector<std::string> Session::ListedPaths() const {
  std::vector<std::string> out;
  for (const std::string& given : o_.paths) {
    const std::string disk = AbsolutePath(given);
    struct stat st {};
    if (lstat(disk.c_str(), &st) != 0)
      throw EUsageError("ファイルまたはフォルダが見つかりません：" + given);
    std::string sjis;
    if (!enc::DiskToSjis(disk, sjis))
      throw EUsageError("次のパスは扱える文字の数を超えたため、追加できません：" + given);
    out.push_back(std::move(sjis));
  }
  return out;
}

void Session::AddFiles(const std::vector<std::string>& sjisPaths) {
  // The growth question is always answered yes: a script names what it wants.
  int growthLimit = 300;
  FileAdder adder(table_, growthLimit,
                  {[](int) { return true; },
                   [this](const std::string& text) {
                     unread_ = true;
                     report_.Error(ToUtf8(text));
                   }});
  adder.SetReadDetails(NeedsDetails(o_.steps));
  const int added = adder.AddFiles(sjisPaths);
  if (!adder.Unrepresentable().empty()) {
    std::string names;
    for (const std::string& disk : adder.Unrepresentable()) names += "\n" + disk;
    throw EUsageError("次のファイル名は扱える文字の数を超えたため、追加できません。" + names);
  }
  report_.Info("今回 " + std::to_string(added) + "個のファイルをリストに追加しました。");
}

void Session::RunSteps() {
  TIniFileEx settings(SettingsPathDisk());
  settings.SetDeferred(true);  // --set changes this copy only; it is never written back
  std::vector<int> rows(static_cast<size_t>(table_.RowCount()));
  std::iota(rows.begin(), rows.end(), 0);
  std::mt19937 random(static_cast<std::mt19937::result_type>(o_.seed.value_or(ClockSeed())));
  StepContext context{table_, rows, settings, random, report_};
  for (const Step& step : o_.steps) RunStep(step, context);
}

void Session::PrintTable() const {
  TCsvDb shown;
  for (int row = 0; row < table_.RowCount(); ++row) {
    shown.SetCell(0, row, table_.GetCell(colNewName, row));
    shown.SetCell(1, row, table_.GetCell(colExt, row));
    shown.SetCell(2, row, table_.GetCell(colPath, row));
  }
  const std::string text = o_.utf8 ? enc::SjisToDisk(shown.SaveToText()) : shown.SaveToText();
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.flush();
}

// True when every row was done.
bool Session::Apply() {
  std::string stoppedAt;
  RenameExecutor executor([this, &stoppedAt](const std::string& target) {
    if (!o_.conflict.stop) return ConflictAnswer{ConflictButton::OkAll, o_.conflict.method};
    stoppedAt = target;
    return ConflictAnswer{ConflictButton::Stop, ConflictMethod::Skip};
  });
  executor.SetKeepPaths(false);  // nothing is listed again afterwards
  const RenameResult result = executor.Run(table_);
  if (!result.error.empty()) {
    report_.Error(result.error);
    return false;
  }
  report_.Note(std::to_string(result.renamed) + "個のファイルを名前変更しました。");
  if (result.deleted > 0)
    report_.Note(std::to_string(result.deleted) + "個のファイルを削除しました。");
  if (!result.log.empty()) {
    report_.Note(std::to_string(result.notDone) + " 個のファイルを名前変更できませんでした。");
    report_.Note(ToUtf8(result.log));
  }
  if (!stoppedAt.empty())
    report_.Error("同名のファイルがあったので中止しました：" + ToUtf8(stoppedAt) +
                  "\nこのファイルから後は変更していません。");
  return result.notDone == 0 && stoppedAt.empty();
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Ending ending) {
  Reporter errors(err, false);
  CliOptions options;
  try {
    options = ParseArguments(args);
  } catch (const EUsageError& e) {
    errors.Error(e.what());
    errors.Note("使い方は tonbo-cli --help で表示されます。");
    return kExitUsage;
  }
  if (options.help) {
    out << HelpText();
    return kExitDone;
  }
  Reporter report(err, options.quiet);
  if (options.recover != RecoverAction::None || options.undoLast)
    return RunJournalCommand(options, out, report);
  try {
    return Session(options, out, report, ending).Run();
  } catch (const ETonboError& e) {
    // Raised before the executor runs: the disk is as it was.
    errors.Error(e.what());
    return kExitUsage;
  }
}

}  // namespace tonbo::cli
