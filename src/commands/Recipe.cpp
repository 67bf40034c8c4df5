// The recipe's steps: what each line means, checked before anything runs,
// and the runner that hands each step to the function its command calls.
#include "commands/Recipe.h"

#include <map>
#include <utility>

#include "commands/FormatCommands.h"
#include "commands/NameRepair.h"
#include "commands/NamingCommands.h"
#include "commands/RulesSettings.h"
#include "commands/TagNaming.h"
#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"

namespace tonbo {
namespace {

constexpr const char* kSection = "setting";

enum class Kind {
  Set,
  Renban,
  Date,
  Random,
  Fixed,
  Append,
  Prepend,
  Format,
  Repair,
  Replace,
  Select,
  DateSource,
  FromTags,
  Names
};

struct Repairing {
  int (*repair)(TCsvDb&, const std::vector<int>&, bool alsoExt);
  std::string (*status)(int changed);
  const char* label;
};
const Repairing kFixEncoding{FixGarbledNames, FixedNamesText, "文字化けの修正"};
const Repairing kCompose{ComposeNames, ComposedNamesText, "濁点の結合"};

struct Entry {
  RecipeOption option;
  Kind kind;
  Formatting formatting = Formatting::Lower;
  const Repairing* repairing = nullptr;
  FilterMethod method = FilterMethod::Plain;
};

// tonbo-cli's names for the same steps; "--names" is the recipe's own.
const Entry kEntries[] = {
    {{"--set", 1}, Kind::Set},
    {{"--renban", 0}, Kind::Renban},
    {{"--date", 0}, Kind::Date},
    {{"--random", 0}, Kind::Random},
    {{"--name", 1}, Kind::Fixed},
    {{"--append", 1}, Kind::Append},
    {{"--prepend", 1}, Kind::Prepend},
    {{"--lower", 0}, Kind::Format, Formatting::Lower},
    {{"--upper", 0}, Kind::Format, Formatting::Upper},
    {{"--hankaku-ank", 0}, Kind::Format, Formatting::HankakuAnk},
    {{"--hankaku", 0}, Kind::Format, Formatting::Hankaku},
    {{"--zenkaku", 0}, Kind::Format, Formatting::Zenkaku},
    {{"--hiragana", 0}, Kind::Format, Formatting::Hiragana},
    {{"--katakana", 0}, Kind::Format, Formatting::Katakana},
    {{"--fix-encoding", 0}, Kind::Repair, Formatting::Lower, &kFixEncoding},
    {{"--nfc", 0}, Kind::Repair, Formatting::Lower, &kCompose},
    {{"--replace", 2}, Kind::Replace},
    {{"--regex", 1}, Kind::Replace},
    {{"--select-mask", 1}, Kind::Select, Formatting::Lower, nullptr, FilterMethod::Wildcard},
    {{"--select-regex", 1}, Kind::Select, Formatting::Lower, nullptr, FilterMethod::RegExp},
    {{"--select-text", 1}, Kind::Select, Formatting::Lower, nullptr, FilterMethod::Plain},
    {{"--date-source", 1}, Kind::DateSource},
    {{"--from-tags", 1}, Kind::FromTags},
    {{"--names", -1}, Kind::Names},
};

template <typename T>
using Choices = std::vector<std::pair<const char*, T>>;

const Choices<ReplaceScope> kReplaceScopes = {{"name", ReplaceScope::Name},
                                              {"name+ext", ReplaceScope::NameAndExt},
                                              {"ext", ReplaceScope::ExtOnly}};
// The date naming's date source, the rule setting it is kept as.
const Choices<const char*> kDateSources = {{"mtime", "0"}, {"taken", "1"}};
const Choices<FilterScope> kFilterScopes = {
    {"name", FilterScope::Name}, {"ext", FilterScope::Ext},   {"name+ext", FilterScope::NameExt},
    {"path", FilterScope::Path}, {"date", FilterScope::Date}, {"contents", FilterScope::Contents}};

// A line read into what its step needs; texts in code page 932.
struct Step {
  const Entry* entry = nullptr;
  std::string text, value;  // --set's key and value; the text of --name, --append, --prepend
  ReplaceOptions replace;
  FilterOptions filter;
  std::vector<std::pair<std::string, std::string>> names;  // --names: before, after
};

std::string Sjis(const std::string& word) {
  std::string out;
  enc::DiskToSjis(word, out);
  return out;
}

// A name (code page 932) in a message (UTF-8), escaped.
std::string Shown(std::string_view sjis) { return EscapedBytes(enc::SjisToDisk(sjis)); }

// Where a message's line is; a step typed on tonbo-cli's line has none.
std::string At(int number) { return number > 0 ? std::to_string(number) + "行目：" : ""; }

// A key that some command reads from the settings section.
bool IsReadKey(const std::string& key) {
  const std::string lower = LowerAscii(key);
  if (lower == "ext_not_change") return true;
  for (const char* known : RenameRulesKeys())
    if (lower == LowerAscii(known)) return true;
  return false;
}

class LineReader {
 public:
  explicit LineReader(const RecipeLine& line) : line_(line) {}
  Step Read();

 private:
  [[noreturn]] void Fail(const std::string& text) const {
    throw ERecipeError(At(line_.number) + text);
  }
  const std::string& Option() const { return line_.words[0]; }
  void ReadValues(Step& step);
  void ReadFollowing(Step& step, size_t from);
  void CheckExpression(const Step& step) const;
  void CheckKey(const std::string& key) const;
  template <typename T>
  T Choose(const Choices<T>& choices, const std::string& word, const std::string& option) const {
    std::string words;
    for (const auto& [name, value] : choices) {
      if (word == name) return value;
      words += (words.empty() ? "" : "、") + std::string(name);
    }
    Fail(option + " の値「" + EscapedBytes(word) + "」は使えません（" + words + " のいずれか）。");
  }

  const RecipeLine& line_;
};

Step LineReader::Read() {
  Step step;
  for (const Entry& e : kEntries)
    if (Option() == e.option.name) step.entry = &e;
  if (!step.entry) Fail("不明な手順です：" + EscapedBytes(Option()));
  ReadValues(step);
  return step;
}

void LineReader::ReadValues(Step& step) {
  const RecipeWords& w = line_.words;
  const int wanted = step.entry->option.values;
  if (wanted < 0) {
    if (w.size() < 3 || w.size() % 2 == 0)
      Fail(Option() + " には前と後の名前を組で書いてください。");
    for (size_t i = 1; i + 1 < w.size(); i += 2)
      step.names.emplace_back(Sjis(w[i]), Sjis(w[i + 1]));
    return;
  }
  if (w.size() < 1 + static_cast<size_t>(wanted))
    Fail(Option() + " には値が" + std::to_string(wanted) + "つ必要です。");
  const Kind kind = step.entry->kind;
  const bool typed = kind == Kind::Fixed || kind == Kind::Append || kind == Kind::Prepend ||
                     kind == Kind::FromTags || (kind == Kind::Replace && wanted == 1);
  if (typed && w[1].empty()) Fail(Option() + " の文字列が空です。");
  switch (kind) {
    case Kind::Set: {
      const size_t eq = w[1].find('=');
      if (eq == std::string::npos || eq == 0)
        Fail("--set は KEY=VALUE の形で書いてください：「" + EscapedBytes(w[1]) + "」");
      step.text = Sjis(w[1].substr(0, eq));
      step.value = Sjis(w[1].substr(eq + 1));
      CheckKey(step.text);
      break;
    }
    case Kind::Fixed:
    case Kind::Append:
    case Kind::Prepend:
      step.text = Sjis(w[1]);
      break;
    case Kind::Replace:
      step.replace.regularExpression = wanted == 1;
      if (wanted == 1) step.replace.command = Sjis(w[1]);
      if (wanted == 2) step.replace.search = Sjis(w[1]), step.replace.replacement = Sjis(w[2]);
      break;
    case Kind::DateSource:
      step.text = "cmbDateSource.ItemIndex";
      step.value = Choose(kDateSources, w[1], Option());
      break;
    case Kind::FromTags:
      step.text = Sjis(w[1]);
      try {
        TagPattern{step.text};
      } catch (const ETonboError& e) {
        Fail(Option() + "：" + e.what());
      }
      break;
    case Kind::Select:
      step.filter.scope = FilterScope::NameExt;
      step.filter.method = step.entry->method;
      step.filter.key = Sjis(w[1]);
      break;
    default:
      break;
  }
  ReadFollowing(step, 1 + static_cast<size_t>(wanted));
  CheckExpression(step);
}

// The options that qualify a replacement (--case, --first, --scope) or a
// selection (--not, --in, --case), as tonbo-cli reads them.
void LineReader::ReadFollowing(Step& step, size_t from) {
  const RecipeWords& w = line_.words;
  const Kind kind = step.entry->kind;
  ReplaceOptions& r = step.replace;
  FilterOptions& f = step.filter;
  const bool plain = kind == Kind::Replace && !r.regularExpression;
  for (size_t i = from; i < w.size(); ++i) {
    const std::string& word = w[i];
    const bool valued = i + 1 < w.size();
    if (plain && word == "--case")
      r.matchCase = true;
    else if (plain && word == "--first")
      r.firstOnly = true;
    else if (kind == Kind::Replace && word == "--scope" && valued)
      r.scope = Choose(kReplaceScopes, w[++i], word);
    else if (kind == Kind::Select && word == "--case")
      f.useCase = true;
    else if (kind == Kind::Select && word == "--not")
      f.exclude = true;
    else if (kind == Kind::Select && word == "--in" && valued)
      f.scope = Choose(kFilterScopes, w[++i], word);
    else if (kind == Kind::FromTags && word == "--tag-missing" && valued)
      step.value = Sjis(w[++i]);
    else
      Fail(Option() + " の後に「" + EscapedBytes(word) + "」は書けません。");
  }
}

// A regular expression is compiled once on a sample row, so a bad one is
// refused before any step runs.
void LineReader::CheckExpression(const Step& step) const {
  const bool select = step.entry->kind == Kind::Select && step.filter.method != FilterMethod::Plain;
  if (!select && (step.entry->kind != Kind::Replace || !step.replace.regularExpression)) return;
  TCsvDb sample;
  sample.SetCell(colNewName, 0, "a");
  sample.SetCell(colExt, 0, ".b");
  try {
    FilterOptions name = step.filter;
    name.scope = FilterScope::Name;  // the key alone is tried: no file is read
    std::vector<bool> decided;
    if (select)
      SelectByCondition(sample, name, decided);
    else
      ReplaceInNames(sample, {0}, step.replace);
  } catch (const ETonboError& e) {
    const bool mask = select && step.filter.method == FilterMethod::Wildcard;
    Fail((mask ? "ワイルドカードが正しくありません：" : "正規表現が正しくありません：") + Option() +
         " " + EscapedBytes(line_.words[1]) + "：" + EscapedBytes(e.what()));
  }
}

// A key no command reads would change nothing: in a recipe it is a mistake;
// typed on tonbo-cli's line it is told of when it runs.
void LineReader::CheckKey(const std::string& key) const {
  if (line_.number > 0 && !IsReadKey(key))
    Fail("--set のキー「" + Shown(key) + "」はどのコマンドも読みません。");
}

std::string NameOf(const TCsvDb& table, int row) {
  return std::string(table.GetCell(colNewName, row)).append(table.GetCell(colExt, row));
}

// Runs one step on the working table.
class StepRunner {
 public:
  StepRunner(TCsvDb& table, std::vector<int>& rows, TIniFileEx& settings, const RecipeHooks& hooks,
             int line)
      : table_(table), rows_(rows), settings_(settings), hooks_(hooks), line_(line) {}
  RecipeStepDid Run(const Step& step);

 private:
  RecipeStepDid Name(const Step& step);
  void Set(const Step& step);
  std::unique_ptr<ProgressSink> Progress(const char* label) const {
    return hooks_.progress ? hooks_.progress(label) : nullptr;
  }
  bool ExtNotChange() const { return settings_.ReadBool(kSection, "ext_not_change", true); }
  std::string Count(const char* label) const {
    return std::to_string(rows_.size()) + "個：" + label;
  }
  std::string Random();
  std::string Replace(const ReplaceOptions& options);
  void Names(const Step& step);
  void SetName(int row, const std::string& sjisName);

  TCsvDb& table_;
  std::vector<int>& rows_;  // a selection step changes them for the steps after it
  TIniFileEx& settings_;
  const RecipeHooks& hooks_;
  int line_;
};

RecipeStepDid StepRunner::Run(const Step& step) {
  const Kind kind = step.entry->kind;
  if (kind == Kind::Set || kind == Kind::DateSource) {
    Set(step);
    return {};
  }
  if (kind != Kind::Select && rows_.empty() && hooks_.nothingChosen) {
    hooks_.nothingChosen(step.entry->option.name);
    return {};
  }
  return Name(step);
}

void StepRunner::Set(const Step& step) {
  settings_.WriteString(kSection, step.text, step.value);
  if (!IsReadKey(step.text) && hooks_.unreadKey)
    hooks_.unreadKey("--set のキー「" + Shown(step.text) +
                     "」はどのコマンドも読まないので、何も変わりません。");
}

RecipeStepDid StepRunner::Name(const Step& step) {
  const Entry& e = *step.entry;
  switch (e.kind) {
    case Kind::Renban:
    case Kind::Date: {
      const RenameRules rules = LoadRenameRules(settings_);
      const bool serial = e.kind == Kind::Renban;
      TakenTimes taken;
      if (!serial && rules.dateSource == static_cast<int>(DateSource::Taken)) {
        const std::unique_ptr<ProgressSink> progress = Progress("撮影日時の読み込み");
        taken = ReadRowTakenTimes(table_, rows_, FileTagSource(), progress.get()).value_or(taken);
      }
      const NamingOutcome out =
          serial ? NameSerial(table_, rows_, rules) : NameByDate(table_, rows_, rules, taken);
      return {serial ? "連番" : "日付", ChangedNamesText(out.named, out.skipped)};
    }
    case Kind::Random:
      return {"ランダム", Random()};
    case Kind::Fixed:
      NameFixed(table_, rows_, step.text, ExtNotChange());
      return {"名前の変更", Count("名前の変更")};
    case Kind::Append:
    case Kind::Prepend:
      return {"指定文字列を追加",
              ChangedNamesText(AddText(table_, rows_, step.text, e.kind == Kind::Prepend), 0)};
    case Kind::Format: {
      const FormatRule& format = FormatRuleOf(e.formatting);
      const bool alsoExt = format.extensionToo && !ExtNotChange();
      for (int row : rows_) ConvertRow(table_, row, format.convert, alsoExt);
      return {format.label, Count(format.label)};
    }
    case Kind::Repair:
      return {e.repairing->label,
              e.repairing->status(e.repairing->repair(table_, rows_, !ExtNotChange()))};
    case Kind::Replace:
      return {"文字列の置換", Replace(step.replace)};
    case Kind::Select: {
      std::vector<bool> decided;
      const int count = SelectByCondition(table_, step.filter, decided);
      rows_.clear();
      for (size_t row = 0; row < decided.size(); ++row)
        if (decided[row]) rows_.push_back(static_cast<int>(row));
      return {"条件選択", std::to_string(count) + "個のファイルを選択しました。"};
    }
    case Kind::FromTags: {
      const TagPattern pattern(step.text);
      std::vector<tags::MediaTags> tags;
      if (pattern.ReadsFiles()) {
        const std::unique_ptr<ProgressSink> progress = Progress("タグの読み込み");
        tags = ReadRowTags(table_, rows_, FileTagSource(), progress.get()).value_or(tags);
      }
      return {"タグから命名", TagNamedText(NameFromTags(table_, rows_, pattern, tags, step.value))};
    }
    case Kind::Names:
      Names(step);
      return {"ファイル名の一括変更", Count("ファイル名の一括変更")};
    case Kind::Set:
    case Kind::DateSource:
      break;
  }
  return {};
}

std::string StepRunner::Random() {
  RenameRules rules = LoadRenameRules(settings_);
  if (RandomPool(rules).empty())
    throw ERecipeError(At(line_) +
                       "ランダムな名前に使う文字が選ばれていません。--set chkRandomLower=1 "
                       "などで、使う文字を選んでください。");
  bool relaxed = false;
  const int named =
      NameRandom(table_, rows_, rules,
                 {hooks_.random, [&] {
                    relaxed = true;
                    if (hooks_.relaxed)
                      hooks_.relaxed("ランダムに名前を付けるのが難しいので条件をゆるくします。");
                  }});
  // As the window does: the small letters stay on for the rest of the run.
  if (relaxed) settings_.WriteBool(kSection, "chkRandomLower", true);
  return ChangedNamesText(named, 0);
}

// Counts the names the replacement changed, as tonbo-cli reports it.
std::string StepRunner::Replace(const ReplaceOptions& options) {
  std::vector<std::string> before;
  for (int row : rows_) before.push_back(NameOf(table_, row));
  ReplaceInNames(table_, rows_, options);
  int changed = 0;
  for (size_t i = 0; i < rows_.size(); ++i) changed += NameOf(table_, rows_[i]) != before[i];
  return std::to_string(changed) + " 個のファイルを置換しました。";
}

// A list step runs only on the names it was recorded on: every row is
// checked before one name changes.
void StepRunner::Names(const Step& step) {
  std::multimap<std::string, const std::string*> recorded;
  for (const auto& [before, after] : step.names) recorded.emplace(before, &after);
  std::vector<const std::string*> news;
  for (int row : rows_) {
    const std::string name = NameOf(table_, row);
    auto found = recorded.lower_bound(name);
    if (found == recorded.end() || found->first != name)
      throw ERecipeError(At(line_) + "「" + Shown(name) +
                         "」はこの手順を記録した名前にありません。一括変更の手順は、"
                         "記録したときと同じ名前のファイルにだけ使えます。");
    news.push_back(found->second);
    // Two rows of one name take the recorded names in turn, the last one stays.
    if (recorded.count(name) > 1) recorded.erase(found);
  }
  for (size_t i = 0; i < rows_.size(); ++i) SetName(rows_[i], *news[i]);
}

// The extension stays where the new name still ends in it; else the last
// dot starts it.
void StepRunner::SetName(int row, const std::string& sjisName) {
  const std::string ext(table_.GetCell(colExt, row));
  if (!ext.empty() && sjisName.size() > ext.size() && sjisName.ends_with(ext)) {
    table_.SetCell(colNewName, row, sjisName.substr(0, sjisName.size() - ext.size()));
    return;
  }
  const size_t dot = sjisName.rfind('.');
  const bool split = dot != std::string::npos && dot > 0;
  table_.SetCell(colNewName, row, split ? sjisName.substr(0, dot) : sjisName);
  table_.SetCell(colExt, row, split ? sjisName.substr(dot) : std::string());
}

}  // namespace

std::string FormatOption(Formatting formatting) {
  for (const Entry& e : kEntries)
    if (e.kind == Kind::Format && e.formatting == formatting) return e.option.name;
  return {};
}

const std::vector<RecipeOption>& RecipeOptions() {
  static const std::vector<RecipeOption> options = [] {
    std::vector<RecipeOption> out;
    for (const Entry& e : kEntries) out.push_back(e.option);
    return out;
  }();
  return options;
}

void CheckRecipeStep(const RecipeLine& line) { LineReader(line).Read(); }

RecipeStepDid RunRecipeStep(TCsvDb& table, std::vector<int>& rows, const RecipeLine& line,
                            TIniFileEx& settings, const RecipeHooks& hooks) {
  return StepRunner(table, rows, settings, hooks, line.number).Run(LineReader(line).Read());
}

bool ReadsFileDates(const RecipeLine& line) {
  const Step step = LineReader(line).Read();
  const Kind kind = step.entry->kind;
  return kind == Kind::Renban || kind == Kind::Date || kind == Kind::FromTags ||
         (kind == Kind::Select && step.filter.scope == FilterScope::Date);
}

RecipeRun RunRecipe(const TCsvDb& table, const std::vector<int>& rows, const TRecipe& recipe,
                    TIniFileEx& settings, const RecipeHooks& hooks) {
  RecipeRun run;
  TCsvDb work;
  work.Assign(table);
  std::vector<int> chosen = rows;
  std::vector<RecipeWords> words;
  for (const RecipeLine& line : recipe.lines) {
    words.push_back(line.words);
    RecipeStepDid did = RunRecipeStep(work, chosen, line, settings, hooks);
    if (did.label.empty()) continue;
    RecipeStepDone done;
    done.line = line.number;
    done.label = std::move(did.label);
    done.status = std::move(did.status);
    done.table.Assign(work);
    done.words = std::exchange(words, {});
    done.rows = chosen;
    run.steps.push_back(std::move(done));
  }
  return run;
}

}  // namespace tonbo
