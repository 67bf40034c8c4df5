#include "cli/CliOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "cli/CliReport.h"

namespace tonbo::cli {
namespace {

// A file or folder typed on the line, as it is.
const std::string& NonEmpty(const std::string& file, const std::string& option) {
  if (file.empty()) throw EUsageError(option + " のファイル名が空です。");
  return file;
}

template <typename T>
struct Choice {
  const char* word;
  T value;
};

template <typename T, size_t N>
T Choose(const Choice<T> (&choices)[N], const std::string& word, const std::string& option) {
  std::string words;
  for (const Choice<T>& c : choices) {
    if (word == c.word) return c.value;
    words += words.empty() ? c.word : std::string("、") + c.word;
  }
  throw EUsageError(option + " の値「" + Escaped(word) + "」は使えません（" + words +
                    " のいずれか）。");
}

const Choice<ConflictChoice> kConflicts[] = {
    {"overwrite", {false, ConflictMethod::Overwrite}},
    {"newer", {false, ConflictMethod::OverwriteIfNewer}},
    {"number", {false, ConflictMethod::Number}},
    {"skip", {false, ConflictMethod::Skip}},
    {"stop", {true, ConflictMethod::Skip}},
};

const Choice<RecoverAction> kRecover[] = {{"finish", RecoverAction::Finish},
                                          {"rollback", RecoverAction::Rollback},
                                          {"show", RecoverAction::Show}};

using Args = std::vector<std::string>;

}  // namespace

// Builds the options from one option and its values at a time.
struct OptionParser {
  CliOptions& o;
  bool onlyPaths = false;  // after "--"

  // A step: its words as a recipe's line, whose values the recipe's reader
  // checks when the whole line is known.
  void AddStep(const std::string& option, const Args& values) {
    RecipeWords words{option};
    words.insert(words.end(), values.begin(), values.end());
    o.steps.push_back({{0, std::move(words)}, std::nullopt});
  }
  // An option qualifying the step before it, kept on that step's line; the
  // step must come from one of the options steps.
  void Qualify(const std::string& option, const Args& values,
               std::initializer_list<std::string_view> steps, const char* allowedAfter) {
    RecipeWords* words = o.steps.empty() ? nullptr : &o.steps.back().line.words;
    if (!words || std::find(steps.begin(), steps.end(), words->front()) == steps.end())
      throw EUsageError(option + " は " + allowedAfter + " の直後に書いてください。");
    words->push_back(option);
    words->insert(words->end(), values.begin(), values.end());
  }
  void QualifyPlainReplace(const std::string& option) {
    if (!o.steps.empty() && o.steps.back().line.words.front() == "--regex")
      throw EUsageError(option +
                        " は --replace の直後に書いてください（--regex ではコマンドのオプション"
                        "を使います）。");
    Qualify(option, {}, {"--replace"}, "--replace");
  }
  void QualifySelect(const std::string& option, const Args& values) {
    Qualify(option, values, {"--select-mask", "--select-regex", "--select-text"}, "--select-…");
  }
  void Case(const std::string& option) {
    if (!o.steps.empty() && o.steps.back().line.words.front().starts_with("--select-"))
      return QualifySelect(option, {});
    QualifyPlainReplace(option);
  }
  void SaveList(const std::string& file, const std::string& option) {
    if (!o.saveList.empty()) throw EUsageError(option + " は一度だけ書けます。");
    o.saveList = NonEmpty(file, option);
  }
  void Recipe(const std::string& file, const std::string& option) {
    try {
      TRecipe recipe = LoadRecipeFile(NonEmpty(file, option));
      o.steps.push_back({{0, {option, file}}, std::move(recipe)});
    } catch (const ERecipeError& e) {
      throw EUsageError(Escaped(file) + "：" + e.what());
    }
  }
  void Seed(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long seed = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || text[0] == '-' || errno != 0)
      throw EUsageError("--seed には 0 以上の整数を書いてください：「" + Escaped(text) + "」");
    o.seed = seed;
  }
};

namespace {

// What an entry's parse function is given: the parser, the option's name and its values.
using Parser = OptionParser;
using Name = const std::string&;
using Values = const Args&;

constexpr CliOption Heading(const char* text) { return {.help = text}; }

// An option that is a step of its own.
void AddStep(Parser& p, Name n, Values v) { p.AddStep(n, v); }

template <Formatting F>
constexpr CliOption Format(const char* name) {
  return {.name = name, .parse = AddStep, .formatting = F};
}

// Every option in the order --help shows them.
const CliOption kOptions[] = {
    Heading("ファイルの集め方（フォルダは、その中のファイルだけを加えます）:"),
    {.name = "--recursive",
     .shortName = "-r",
     .help = "下のフォルダのファイルも加える",
     .parse = [](Parser& p, Name, Values) { p.o.recursive = true; }},
    {.name = "--hidden",
     .help = "\".\" で始まる名前のファイルも加える（-r では \".\" で始まるフォルダも）",
     .parse = [](Parser& p, Name, Values) { p.o.hidden = true; }},
    {.name = "--files-from",
     .values = "FILE",
     .help = "FILE の一行を一つのパスとして加える（- は標準入力、何度でも）。\n"
             "見つからないパスは理由を書いて飛ばし、終了コードは 1",
     .parse = [](Parser& p, Name n, Values v) { p.o.filesFrom.push_back(NonEmpty(v[0], n)); }},
    {.name = "--null",
     .shortName = "-0",
     .help = "--files-from のパスは改行でなく NUL で区切る（find -print0 など）",
     .parse = [](Parser& p, Name, Values) { p.o.nulSeparated = true; }},

    Heading("名前を付けるコマンド（設定は「名前変換規則の設定」と同じ設定ファイルから）:"),
    {.name = "--renban", .help = "連番", .parse = AddStep},
    {.name = "--date", .help = "ファイル更新日と連番", .parse = AddStep},
    {.name = "--random", .help = "ランダムな名前", .parse = AddStep},
    {.name = "--name",
     .values = "TEXT",
     .help = "指定した名前（重なる名前には _1, _2, ... が付きます）",
     .parse = AddStep},
    {.name = "--append",
     .values = "TEXT",
     .help = "ファイル名の後ろに文字列を追加",
     .parse = AddStep},
    {.name = "--prepend",
     .values = "TEXT",
     .help = "ファイル名の前に文字列を追加",
     .parse = AddStep},
    {.name = "--from-tags",
     .values = "PATTERN",
     .help = "タグから名前を付ける（例 '[撮影日時:yyyymmdd_hhnnss]'、\n"
             "'[アーティスト] - [曲番号:2] [タイトル]'。[[ と ]] は角かっこ。\n"
             "重なる名前には _1, _2, ... が付きます）",
     .parse = AddStep},
    {.name = "--tag-missing",
     .values = "TEXT",
     .help = "ファイルにない項目をこの文字にする（既定は空）",
     .follows = true,
     .parse = [](Parser& p, Name n, Values v) { p.Qualify(n, v, {"--from-tags"}, "--from-tags"); }},
    {.name = "--date-source",
     .values = "mtime|taken",
     .help = "--date の日付: 更新日時（既定）、撮影日時（なければ更新日時）。\n"
             "後に続くコマンドに効きます",
     .parse = AddStep},

    Heading("整形コマンド（「拡張子の変更をしない」が切のときは拡張子も変換）:"),
    Format<Formatting::Lower>("--lower"),
    Format<Formatting::Upper>("--upper"),
    Format<Formatting::HankakuAnk>("--hankaku-ank"),
    Format<Formatting::Hankaku>("--hankaku"),
    Format<Formatting::Zenkaku>("--zenkaku"),
    Format<Formatting::Hiragana>("--hiragana"),
    Format<Formatting::Katakana>("--katakana"),
    {.name = "--fix-encoding",
     .help = "文字化けを直す（シフトJIS・EUC-JP のままの名前、\n"
             "二重に変換された UTF-8 の名前を本来の名前に）",
     .parse = AddStep},
    {.name = "--nfc",
     .help = "濁点を結合する（Mac の分かれた濁点・アクセントをまとめる）",
     .parse = AddStep},

    Heading("置換:"),
    {.name = "--replace",
     .values = "OLD NEW",
     .help = "文字列 OLD を NEW に置き換える（OLD が空なら全体を NEW に）",
     .parse = AddStep},
    {.name = "--case",
     .help = "大文字と小文字を区別する",
     .follows = true,
     .parse = [](Parser& p, Name n, Values) { p.Case(n); }},
    {.name = "--first",
     .help = "最初の一つだけ置き換える",
     .follows = true,
     .parse = [](Parser& p, Name n, Values) { p.QualifyPlainReplace(n); }},
    {.name = "--regex",
     .values = "'s/…/…/g'",
     .help = "正規表現の置換コマンド（i, g などはコマンドに書きます）",
     .parse = AddStep},
    {.name = "--scope",
     .values = "name|name+ext|ext",
     .help = "置き換える部分: ファイル名（既定）、ファイル名＋拡張子、\n"
             "拡張子のみ（--replace と --regex の後に書きます）",
     .follows = true,
     .parse =
         [](Parser& p, Name n, Values v) {
           p.Qualify(n, v, {"--replace", "--regex"}, "--replace か --regex");
         }},

    Heading("条件で選択（結果が選択になり、後のコマンドはそのファイルにだけ効きます）:"),
    {.name = "--select-mask",
     .values = "MASK",
     .help = "ワイルドカード（*, ?, [...]）に全体が合うもの",
     .parse = AddStep},
    {.name = "--select-regex",
     .values = "CMD",
     .help = "正規表現（m/…/ の形、または m を付けないパターン）",
     .parse = AddStep},
    {.name = "--select-text", .values = "TEXT", .help = "文字列を含むもの", .parse = AddStep},
    {.name = "--not",
     .help = "条件に合わないものを選ぶ",
     .follows = true,
     .parse = [](Parser& p, Name n, Values v) { p.QualifySelect(n, v); }},
    {.name = "--in",
     .values = "name|ext|name+ext|path|date|contents",
     .help = "調べる部分（既定 name+ext）。contents はファイルの中身",
     .follows = true,
     .parse = [](Parser& p, Name n, Values v) { p.QualifySelect(n, v); }},
    {.name = "--case", .help = "大文字と小文字を区別する", .follows = true},

    Heading("設定:"),
    {.name = "--set",
     .values = "KEY=VALUE",
     .help = "設定ファイルの [setting] のキーを、この実行の間だけ変える。\n"
             "後に続くコマンドに効きます。設定ファイルは書き換えません。\n"
             "例: spnRenbanLength.Value=4  edtRenbanHeader.Text=img_\n"
             "    spnRenbanStart=0  cmbDateFormat.ItemIndex=2\n"
             "    ext_not_change=0（拡張子も変える）\n"
             "    chkRandomHira=0  spnRandomFrom=6  spnRandomTo=10",
     .parse = AddStep},

    Heading("手順ファイル（ウィンドウの「手順を保存…」「手順を実行…」と同じファイル）:"),
    {.name = "--recipe",
     .values = "FILE",
     .help = "手順ファイルの手順を、ここに書いたコマンドとして実行する。\n"
             "読めない行が一つでもあれば、その行番号を書いて何もしません",
     .parse = [](Parser& p, Name n, Values v) { p.Recipe(v[0], n); }},
    {.name = "--save-recipe",
     .values = "FILE",
     .help = "このコマンドラインの手順（--set、--recipe、条件で選択も）を\n"
             "手順ファイルに書く",
     .parse =
         [](Parser& p, Name n, Values v) {
           if (!p.o.saveRecipe.empty()) throw EUsageError(n + " は一度だけ書けます。");
           p.o.saveRecipe = NonEmpty(v[0], n);
         }},

    Heading("リストの保存と読込（ウィンドウの「リストを保存」「リストを読込」と同じ CSV "
            "ファイル）:"),
    {.name = "--load-list",
     .values = "FILE",
     .help = "保存したリストのファイルをパスの後に加える（何度でも）。\n"
             "元の場所にないファイルは、同じフォルダで保存時の新しい名前\n"
             "（拡張子なし）を探し、それもなければ報告します",
     .parse = [](Parser& p, Name n, Values v) { p.o.loadLists.push_back(NonEmpty(v[0], n)); }},
    {.name = "--save-list",
     .values = "FILE",
     .help = "コマンドを全部実行した後のリストを保存する（--apply の前）",
     .parse = [](Parser& p, Name n, Values v) { p.SaveList(v[0], n); }},

    Heading("実行と出力:"),
    {.name = "--apply",
     .help = "実際に名前を変更する（削除対象のファイルはごみ箱へ）",
     .parse = [](Parser& p, Name, Values) { p.o.apply = true; }},
    {.name = "--on-conflict",
     .values = "overwrite|newer|number|skip|stop",
     .help = "新しい名前のファイルが既にあるとき（既定 skip）:\n"
             "overwrite 上書き（元のファイルはごみ箱へ）\n"
             "newer     こちらの方が新しいときだけ上書き\n"
             "number    名前に _1, _2, ... を付ける\n"
             "skip      そのファイルは変更しない\n"
             "stop      そこで中止し、残りはそのまま",
     .parse = [](Parser& p, Name n, Values v) { p.o.conflict = Choose(kConflicts, v[0], n); }},
    {.name = "--write-batch",
     .values = "FILE",
     .help = "変換リストからバッチファイル（Windows 用）を書く",
     .parse = [](Parser& p, Name n, Values v) { p.o.keep.batch = NonEmpty(v[0], n); }},
    {.name = "--write-script",
     .values = "FILE",
     .help = "同じ名前変更をする sh スクリプトを書く（mv -n、削除対象は\n"
             "gio trash。できなかった行を表示し、終了コード 1）",
     .parse = [](Parser& p, Name n, Values v) { p.o.keep.script = NonEmpty(v[0], n); }},
    {.name = "--backup-to",
     .values = "FOLDER",
     .help = "選ばれたファイルを新しい名前で FOLDER にコピーする\n"
             "（同名のファイルは --on-conflict の方法で。リストのファイルには\n"
             "上書きしません）\n"
             "この三つがあれば表は書きません。--apply より前に実行します",
     .parse = [](Parser& p, Name n, Values v) { p.o.keep.backupFolder = NonEmpty(v[0], n); }},
    {.name = "--undo-last",
     .help = "最後に実行した名前変更を元に戻す（ごみ箱に移したファイルも戻す）。\n"
             "パスを書くと、そのフォルダ（下のフォルダも）のファイルを変えた\n"
             "最後の名前変更。--apply がなければ、戻す内容を表示するだけ。\n"
             "実行後に変更・移動されたファイルが一つでもあれば何も戻さない",
     .parse = [](Parser& p, Name, Values) { p.o.undoLast = true; }},
    {.name = "--runs",
     .help = "残っている名前変更の記録を新しい順に表示（ID、日時、ファイル数、\n"
             "状態、フォルダ）。パスを書くと、そのフォルダを変えたものだけ",
     .parse = [](Parser& p, Name, Values) { p.o.runs = true; }},
    {.name = "--undo",
     .values = "RUN",
     .help = "--runs の ID（先頭の一部でも）の名前変更を元に戻す。\n"
             "--undo-last と同じく --apply で実行し、一つでも戻せない\n"
             "ファイルがあれば何も戻さない",
     .parse = [](Parser& p, Name n, Values v) { p.o.undoRun = NonEmpty(v[0], n); }},
    {.name = "--recover",
     .values = "finish|rollback|show",
     .help = "途中で終わった名前変更（強制終了、停電など）を\n"
             "finish 最後まで済ませる／rollback 元の名前に戻す／show 状態を表示\n"
             "（--recover、--undo-last、--undo、--runs は、ほかのコマンドとは\n"
             "一緒に使いません）",
     .parse = [](Parser& p, Name n, Values v) { p.o.recover = Choose(kRecover, v[0], n); }},
    {.name = "--table",
     .help = "端末にも、変わる行だけでなく全部の行の CSV の表を書く",
     .parse = [](Parser& p, Name, Values) { p.o.table = true; }},
    {.name = "--utf8",
     .help = "表を UTF-8 で書く（ロケールが UTF-8 のときと端末では既定）",
     .parse = [](Parser& p, Name, Values) { p.o.utf8 = true, p.o.sjis = false; }},
    {.name = "--sjis",
     .help = "表をシフト JIS（コードページ 932）で書く",
     .parse = [](Parser& p, Name, Values) { p.o.sjis = true, p.o.utf8 = false; }},
    {.name = "--crlf",
     .help = "表の行末を CR LF にする（既定は LF）",
     .parse = [](Parser& p, Name, Values) { p.o.crlf = true; }},
    {.name = "--seed",
     .values = "N",
     .help = "ランダムな名前の乱数の種（同じ種なら同じ名前）",
     .parse = [](Parser& p, Name, Values v) { p.Seed(v[0]); }},
    {.name = "--quiet",
     .shortName = "-q",
     .help = "途中の報告を書かない（警告、エラー、結果は書きます）",
     .parse = [](Parser& p, Name, Values) { p.o.quiet = true; }},
    {.name = "--version",
     .shortName = "-V",
     .help = "バージョンを書く",
     .parse = [](Parser& p, Name, Values) { p.o.version = true; }},
    {.name = "--help",
     .shortName = "-h",
     .help = "この説明",
     .parse = [](Parser& p, Name, Values) { p.o.help = true; }},
    {.name = "--",
     .help = "これより後はすべてパス",
     .parse = [](Parser& p, Name, Values) { p.onlyPaths = true; }},
};

const CliOption* FindOption(const std::string& name) {
  for (const CliOption& option : kOptions)
    if (option.parse && (name == option.name || (option.shortName && name == option.shortName)))
      return &option;
  return nullptr;
}

// Splits "--option=value" for the options that take one value.
const CliOption* SplitValue(const std::string& arg, Args& values) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos) return FindOption(arg);
  const CliOption* option = FindOption(arg.substr(0, eq));
  if (!option || ValueCount(*option) != 1) return FindOption(arg);
  values.push_back(arg.substr(eq + 1));
  return option;
}

// Reads args[i] and the values it takes, moving i past them.
void ParseOption(OptionParser& parser, const Args& args, size_t& i) {
  Args values;
  const CliOption* option = SplitValue(args[i], values);
  if (!option) throw EUsageError("不明なオプションです：" + Escaped(args[i]));
  const size_t count = ValueCount(*option);
  while (values.size() < count) {
    if (++i >= args.size())
      throw EUsageError(std::string(option->name) + " には値が" + (count == 2 ? "2つ" : "") +
                        "必要です。");
    values.push_back(args[i]);
  }
  option->parse(parser, option->name, values);
}

// "-qr0" as "-q -r -0": short options that take no value, written together.
bool ExpandGroup(const std::string& arg, Args& out) {
  if (arg.size() < 3 || arg[0] != '-' || arg[1] == '-') return false;
  Args shorts;
  for (size_t i = 1; i < arg.size(); ++i) {
    const CliOption* option = FindOption(std::string{'-', arg[i]});
    if (!option || ValueCount(*option) != 0) return false;
    shorts.push_back(std::string{'-', arg[i]});
  }
  out.insert(out.end(), shorts.begin(), shorts.end());
  return true;
}

}  // namespace

std::span<const CliOption> OptionList() { return kOptions; }

size_t ValueCount(const CliOption& option) {
  size_t count = 0;
  for (const char* c = option.values; *c; ++c)
    if (*c != ' ' && (c == option.values || c[-1] == ' ')) ++count;
  return count;
}

CliOptions ParseArguments(const std::vector<std::string>& args) {
  CliOptions o;
  OptionParser parser{o};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    Args group;
    if (parser.onlyPaths || arg.size() < 2 || arg[0] != '-')
      o.paths.push_back(arg);
    else if (!FindOption(arg) && ExpandGroup(arg, group))
      for (size_t g = 0; g < group.size(); ++g) ParseOption(parser, group, g);
    else
      ParseOption(parser, args, i);
  }
  // Every step's values, once its line is whole: before any file is read.
  for (const Step& step : o.steps) {
    try {
      if (!step.recipe) CheckRecipeStep(step.line);
    } catch (const ERecipeError& e) {
      throw EUsageError(e.what());
    }
  }
  const int journalCommands =
      (o.recover != RecoverAction::None) + o.undoLast + o.runs + !o.undoRun.empty();
  const bool journalOnly = journalCommands > 0;
  const bool lists = !o.loadLists.empty() || !o.saveList.empty() || !o.filesFrom.empty();
  // --undo-last and --runs take folders; an undo takes --apply.
  const bool pathsFit = o.paths.empty() || o.undoLast || o.runs;
  const bool applyFits = !o.apply || o.undoLast || !o.undoRun.empty();
  if (journalOnly &&
      (journalCommands > 1 || !pathsFit || !applyFits || !o.steps.empty() || o.keep.Any() || lists))
    throw EUsageError(
        "--recover、--undo-last、--undo、--runs は、ほかのコマンドと一緒には使えません"
        "（どれか一つだけ。--undo-last と --undo には --apply、--undo-last と --runs "
        "にはフォルダを書けます）。");
  if (!o.help && !o.version && !journalOnly && o.paths.empty() && o.loadLists.empty() &&
      o.filesFrom.empty())
    throw EUsageError(
        "名前を変えるファイルかフォルダを指定してください（または --files-from、--load-list "
        "でリストのファイル）。");
  return o;
}

}  // namespace tonbo::cli
