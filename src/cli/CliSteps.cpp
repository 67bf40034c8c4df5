#include "cli/CliSteps.h"

#include "commands/NamingCommands.h"
#include "commands/RulesSettings.h"
#include "commands/TagNaming.h"
#include "common/Paths.h"

namespace tonbo::cli {
namespace {

// A row's new name with its extension, as the table holds it.
std::string NameOf(const TCsvDb& table, int row) {
  return std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
}

constexpr const char* kSection = "setting";

// A key that some command of this program reads from the settings section.
bool IsReadKey(const std::string& key) {
  const std::string lower = LowerAscii(key);
  if (lower == "ext_not_change") return true;
  for (const char* known : RenameRulesKeys())
    if (lower == LowerAscii(known)) return true;
  return false;
}

class StepRunner {
 public:
  explicit StepRunner(StepContext& c) : c_(c) {}

  void operator()(const NamingStep& s);
  void operator()(const FormatStep& s);
  void operator()(const RepairStep& s);
  void operator()(const ReplaceStep& s);
  void operator()(const SelectStep& s);
  void operator()(const SetStep& s);

 private:
  bool ExtNotChange() const { return c_.settings.ReadBool(kSection, "ext_not_change", true); }
  // False when no row is selected: a selection that chose nothing is told
  // of; an empty list was told of when the files were added.
  bool HaveRows() {
    if (!c_.rows.empty()) return true;
    if (c_.table.RowCount() > 0)
      c_.report.Error("選ばれたファイルがないので、" + c_.option + " は何もしません。");
    return false;
  }
  void Random();
  void Date(const RenameRules& rules);
  void FromTags(const NamingStep& s);
  std::unique_ptr<ProgressSink> Progress(const char* label) {
    return c_.progress ? c_.progress(label) : nullptr;
  }

  StepContext& c_;
};

void StepRunner::operator()(const NamingStep& s) {
  switch (s.kind) {
    case NamingStep::Serial:
    case NamingStep::Date: {
      if (!HaveRows()) return;
      const RenameRules rules = LoadRenameRules(c_.settings);
      if (s.kind == NamingStep::Date) return Date(rules);
      const NamingOutcome out = NameSerial(c_.table, c_.rows, rules);
      c_.report.Info(ChangedNamesText(out.named, out.skipped));
      return;
    }
    case NamingStep::FromTags:
      if (HaveRows()) FromTags(s);
      return;
    case NamingStep::Random:
      if (HaveRows()) Random();
      return;
    case NamingStep::Fixed:
      if (!HaveRows()) return;
      NameFixed(c_.table, c_.rows, s.text, ExtNotChange());
      c_.report.Info(std::to_string(c_.rows.size()) + "個：名前の変更");
      return;
    case NamingStep::Append:
    case NamingStep::Prepend: {
      if (!HaveRows()) return;
      const int count = AddText(c_.table, c_.rows, s.text, s.kind == NamingStep::Prepend);
      c_.report.Info(ChangedNamesText(count, 0));
      return;
    }
  }
}

void StepRunner::Date(const RenameRules& rules) {
  TakenTimes taken;
  if (rules.dateSource == static_cast<int>(DateSource::Taken)) {
    const std::unique_ptr<ProgressSink> progress = Progress("撮影日時の読み込み");
    taken = *ReadRowTakenTimes(c_.table, c_.rows, FileTagSource(), progress.get());
  }
  const NamingOutcome out = NameByDate(c_.table, c_.rows, rules, taken);
  c_.report.Info(ChangedNamesText(out.named, out.skipped));
}

void StepRunner::FromTags(const NamingStep& s) {
  const TagPattern pattern(s.text);
  std::vector<tags::MediaTags> tags;
  if (pattern.ReadsFiles()) {
    const std::unique_ptr<ProgressSink> progress = Progress("タグの読み込み");
    tags = *ReadRowTags(c_.table, c_.rows, FileTagSource(), progress.get());
  }
  c_.report.Info(TagNamedText(NameFromTags(c_.table, c_.rows, pattern, tags, s.missing)));
}

void StepRunner::Random() {
  RenameRules rules = LoadRenameRules(c_.settings);
  if (RandomPool(rules).empty())
    throw EUsageError(
        "ランダムな名前に使う文字が選ばれていません。--set chkRandomLower=1 などで、"
        "使う文字を選んでください。");
  bool relaxed = false;
  RandomHooks hooks{
      [this](int n) { return static_cast<int>(c_.random() % static_cast<unsigned>(n)); },
      [this, &relaxed] {
        relaxed = true;
        c_.report.Note("ランダムに名前を付けるのが難しいので条件をゆるくします。");
      }};
  const int named = NameRandom(c_.table, c_.rows, rules, hooks);
  // As in the window: the wider length is for this command only, the small
  // letters stay on for the rest of the run (in memory only).
  if (relaxed) c_.settings.WriteBool(kSection, "chkRandomLower", true);
  c_.report.Info(ChangedNamesText(named, 0));
}

void StepRunner::operator()(const FormatStep& s) {
  if (!HaveRows()) return;
  const FormatRule& format = FormatRuleOf(s.formatting);
  const bool alsoExt = format.extensionToo && !ExtNotChange();
  for (int row : c_.rows) ConvertRow(c_.table, row, format.convert, alsoExt);
  c_.report.Info(std::to_string(c_.rows.size()) + "個：" + format.label);
}

void StepRunner::operator()(const RepairStep& s) {
  if (!HaveRows()) return;
  c_.report.Info(s.status(s.repair(c_.table, c_.rows, !ExtNotChange())));
}

void StepRunner::operator()(const ReplaceStep& s) {
  if (!HaveRows()) return;
  // The window counts the rows it went through; here the count is of the
  // names the replacement changed, as the dry run's own count is.
  std::vector<std::string> before;
  before.reserve(c_.rows.size());
  for (int row : c_.rows) before.push_back(NameOf(c_.table, row));
  ReplaceInNames(c_.table, c_.rows, s.options);
  int changed = 0;
  for (size_t i = 0; i < c_.rows.size(); ++i) changed += NameOf(c_.table, c_.rows[i]) != before[i];
  c_.report.Info(std::to_string(changed) + " 個のファイルを置換しました。");
}

void StepRunner::operator()(const SelectStep& s) {
  std::vector<bool> decided;
  const int count = SelectByCondition(c_.table, s.options, decided);
  c_.rows.clear();
  for (size_t row = 0; row < decided.size(); ++row)
    if (decided[row]) c_.rows.push_back(static_cast<int>(row));
  c_.report.Info(std::to_string(count) + "個のファイルを選択しました。");
}

void StepRunner::operator()(const SetStep& s) {
  c_.settings.WriteString(kSection, s.key, s.value);
  if (!IsReadKey(s.key))
    c_.report.Error("--set のキー「" + ShownName(s.key) +
                    "」はどのコマンドも読まないので、何も変わりません。");
}

// One row standing for the list while masks and expressions are compiled.
TCsvDb SampleTable() {
  TCsvDb table;
  table.SetCell(colNewName, 0, "a");
  table.SetCell(colExt, 0, ".b");
  table.SetCell(colPath, 0, "/a.b");
  return table;
}

void CheckStep(const Step& step) {
  if (const auto* r = std::get_if<ReplaceStep>(&step); r && r->options.regularExpression) {
    TCsvDb table = SampleTable();
    ReplaceInNames(table, {0}, r->options);
  } else if (const auto* s = std::get_if<SelectStep>(&step);
             s && s->options.method != FilterMethod::Plain) {
    FilterOptions f = s->options;
    f.scope = FilterScope::Name;  // the key alone is checked: no file is read
    std::vector<bool> decided;
    SelectByCondition(SampleTable(), f, decided);
  }
}

std::string StepText(const Step& step) {
  if (const auto* r = std::get_if<ReplaceStep>(&step))
    return "--regex " + ShownName(r->options.command);
  const auto& f = std::get<SelectStep>(step).options;
  return (f.method == FilterMethod::Wildcard ? "--select-mask " : "--select-regex ") +
         ShownName(f.key);
}

}  // namespace

void RunStep(const Step& step, StepContext& context) { std::visit(StepRunner(context), step); }

void CheckExpressions(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    try {
      CheckStep(step);
    } catch (const ETonboError& e) {
      throw EUsageError(StepText(step) + "：" + Escaped(e.what()));
    }
  }
}

}  // namespace tonbo::cli
