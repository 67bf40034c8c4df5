#include "cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

#include "cli/CliReport.h"
#include "common/Sjis.h"
#include "text/StrUnit.h"
#include "commands/NameRepair.h"

namespace tonbo::cli {
namespace {

// A text typed on the line (outside bytes) in code page 932.
std::string Sjis(const std::string& arg) {
  std::string out;
  enc::DiskToSjis(arg, out);
  return out;
}

std::string NonEmptySjis(const std::string& arg, const std::string& option) {
  if (arg.empty()) throw EUsageError(option + " の文字列が空です。");
  return Sjis(arg);
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

const Choice<ReplaceScope> kScopes[] = {{"name", ReplaceScope::Name},
                                        {"name+ext", ReplaceScope::NameAndExt},
                                        {"ext", ReplaceScope::ExtOnly}};

const Choice<FilterScope> kFilterScopes[] = {
    {"name", FilterScope::Name}, {"ext", FilterScope::Ext},   {"name+ext", FilterScope::NameExt},
    {"path", FilterScope::Path}, {"date", FilterScope::Date}, {"contents", FilterScope::Contents}};

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

// Builds the options from one option and its values at a time.
struct Parser {
  CliOptions& o;

  template <typename T>
  T& Last(const std::string& option, const char* allowedAfter) {
    T* step = o.steps.empty() ? nullptr : std::get_if<T>(&o.steps.back());
    if (!step) throw EUsageError(option + " は " + allowedAfter + " の直後に書いてください。");
    return *step;
  }
  ReplaceOptions& LastPlainReplace(const std::string& option) {
    ReplaceOptions& r = Last<ReplaceStep>(option, "--replace").options;
    if (r.regularExpression)
      throw EUsageError(option +
                        " は --replace の直後に書いてください（--regex ではコマンドのオプション"
                        "を使います）。");
    return r;
  }
  void Naming(NamingStep::Kind kind, std::string text = {}) {
    o.steps.emplace_back(std::in_place_type<NamingStep>, kind, std::move(text));
  }
  void Format(const char* label, std::string (*convert)(std::string_view), bool extensionToo) {
    o.steps.emplace_back(std::in_place_type<FormatStep>, label, convert, extensionToo);
  }
  void Replace(ReplaceOptions r) {
    o.steps.emplace_back(std::in_place_type<ReplaceStep>, std::move(r));
  }
  void Select(FilterMethod method, const std::string& key) {
    FilterOptions f;
    f.scope = FilterScope::NameExt;
    f.method = method;
    f.key = Sjis(key);
    o.steps.emplace_back(std::in_place_type<SelectStep>, std::move(f));
  }
  void Case(const std::string& option) {
    if (!o.steps.empty())
      if (auto* s = std::get_if<SelectStep>(&o.steps.back())) {
        s->options.useCase = true;
        return;
      }
    LastPlainReplace(option).matchCase = true;
  }
  void Set(const std::string& pair) {
    const size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0)
      throw EUsageError("--set は KEY=VALUE の形で書いてください：「" + Escaped(pair) + "」");
    o.steps.emplace_back(std::in_place_type<SetStep>, Sjis(pair.substr(0, eq)),
                         Sjis(pair.substr(eq + 1)));
  }
  void SaveList(const std::string& file, const std::string& option) {
    if (!o.saveList.empty()) throw EUsageError(option + " は一度だけ書けます。");
    o.saveList = NonEmpty(file, option);
  }
  static const std::string& NonEmpty(const std::string& file, const std::string& option) {
    if (file.empty()) throw EUsageError(option + " のファイル名が空です。");
    return file;
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

struct OptionSpec {
  const char* name;
  size_t arity;
  void (*run)(Parser& p, const std::string& n, const Args& v);
};

// Every option: its name, how many values follow it, and what it does.
const OptionSpec kOptions[] = {
    {"--help", 0, [](Parser& p, const std::string&, const Args&) { p.o.help = true; }},
    {"-h", 0, [](Parser& p, const std::string&, const Args&) { p.o.help = true; }},
    {"--apply", 0, [](Parser& p, const std::string&, const Args&) { p.o.apply = true; }},
    {"--utf8", 0, [](Parser& p, const std::string&, const Args&) { p.o.utf8 = true; }},
    {"--quiet", 0, [](Parser& p, const std::string&, const Args&) { p.o.quiet = true; }},
    {"-q", 0, [](Parser& p, const std::string&, const Args&) { p.o.quiet = true; }},
    {"--on-conflict", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.o.conflict = Choose(kConflicts, v[0], n);
     }},
    {"--recover", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.o.recover = Choose(kRecover, v[0], n);
     }},
    {"--undo-last", 0, [](Parser& p, const std::string&, const Args&) { p.o.undoLast = true; }},
    {"--load-list", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.o.loadLists.push_back(Parser::NonEmpty(v[0], n));
     }},
    {"--save-list", 1, [](Parser& p, const std::string& n, const Args& v) { p.SaveList(v[0], n); }},
    {"--seed", 1, [](Parser& p, const std::string&, const Args& v) { p.Seed(v[0]); }},
    {"--set", 1, [](Parser& p, const std::string&, const Args& v) { p.Set(v[0]); }},
    {"--renban", 0,
     [](Parser& p, const std::string&, const Args&) { p.Naming(NamingStep::Serial); }},
    {"--date", 0, [](Parser& p, const std::string&, const Args&) { p.Naming(NamingStep::Date); }},
    {"--random", 0,
     [](Parser& p, const std::string&, const Args&) { p.Naming(NamingStep::Random); }},
    {"--name", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.Naming(NamingStep::Fixed, NonEmptySjis(v[0], n));
     }},
    {"--append", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.Naming(NamingStep::Append, NonEmptySjis(v[0], n));
     }},
    {"--prepend", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.Naming(NamingStep::Prepend, NonEmptySjis(v[0], n));
     }},
    {"--lower", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("小文字に揃える", LowerStr, true);
     }},
    {"--upper", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("大文字に揃える", UpperStr, true);
     }},
    {"--hankaku-ank", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("英数記号のみ半角に揃える", HankakuAnkStr, true);
     }},
    {"--hankaku", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("半角に揃える", HankakuStr, true);
     }},
    {"--zenkaku", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("全角に揃える", ZenkakuStr, true);
     }},
    {"--hiragana", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("ひらがなに揃える", HiraganaStr, false);
     }},
    {"--katakana", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.Format("カタカナに揃える", KatakanaStr, false);
     }},
    {"--fix-encoding", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.o.steps.emplace_back(std::in_place_type<RepairStep>, FixGarbledNames, FixedNamesText);
     }},
    {"--nfc", 0,
     [](Parser& p, const std::string&, const Args&) {
       p.o.steps.emplace_back(std::in_place_type<RepairStep>, ComposeNames, ComposedNamesText);
     }},
    {"--replace", 2,
     [](Parser& p, const std::string&, const Args& v) {
       ReplaceOptions r;
       r.search = Sjis(v[0]);
       r.replacement = Sjis(v[1]);
       p.Replace(std::move(r));
     }},
    {"--regex", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       ReplaceOptions r;
       r.regularExpression = true;
       r.command = NonEmptySjis(v[0], n);
       p.Replace(std::move(r));
     }},
    {"--case", 0, [](Parser& p, const std::string& n, const Args&) { p.Case(n); }},
    {"--first", 0,
     [](Parser& p, const std::string& n, const Args&) { p.LastPlainReplace(n).firstOnly = true; }},
    {"--scope", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.Last<ReplaceStep>(n, "--replace か --regex").options.scope = Choose(kScopes, v[0], n);
     }},
    {"--select-mask", 1,
     [](Parser& p, const std::string&, const Args& v) { p.Select(FilterMethod::Wildcard, v[0]); }},
    {"--select-regex", 1,
     [](Parser& p, const std::string&, const Args& v) { p.Select(FilterMethod::RegExp, v[0]); }},
    {"--select-text", 1,
     [](Parser& p, const std::string&, const Args& v) { p.Select(FilterMethod::Plain, v[0]); }},
    {"--not", 0,
     [](Parser& p, const std::string& n, const Args&) {
       p.Last<SelectStep>(n, "--select-…").options.exclude = true;
     }},
    {"--in", 1,
     [](Parser& p, const std::string& n, const Args& v) {
       p.Last<SelectStep>(n, "--select-…").options.scope = Choose(kFilterScopes, v[0], n);
     }},
};

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& spec : kOptions)
    if (name == spec.name) return &spec;
  return nullptr;
}

// Splits "--option=value" for the options that take one value.
const OptionSpec* SplitValue(const std::string& arg, Args& values) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos) return FindOption(arg);
  const OptionSpec* spec = FindOption(arg.substr(0, eq));
  if (!spec || spec->arity != 1) return FindOption(arg);
  values.push_back(arg.substr(eq + 1));
  return spec;
}

}  // namespace

CliOptions ParseArguments(const std::vector<std::string>& args) {
  CliOptions o;
  Parser parser{o};
  bool onlyPaths = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyPaths || arg.size() < 2 || arg[0] != '-') {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPaths = true;
      continue;
    }
    if (ParseKeepOption(args, i, o.keep)) continue;
    Args values;
    const OptionSpec* spec = SplitValue(arg, values);
    if (!spec) throw EUsageError("不明なオプションです：" + Escaped(arg));
    while (values.size() < spec->arity) {
      if (++i >= args.size())
        throw EUsageError(std::string(spec->name) + " には値が" + (spec->arity == 2 ? "2つ" : "") +
                          "必要です。");
      values.push_back(args[i]);
    }
    spec->run(parser, spec->name, values);
  }
  const bool journalOnly = o.recover != RecoverAction::None || o.undoLast;
  const bool both = o.recover != RecoverAction::None && o.undoLast;
  const bool lists = !o.loadLists.empty() || !o.saveList.empty();
  if (journalOnly &&
      (both || !o.paths.empty() || !o.steps.empty() || o.apply || o.keep.Any() || lists))
    throw EUsageError(
        "--recover と --undo-last "
        "は、ほかのコマンドやパスと一緒には使えません（どちらか一つだけ）。");
  if (!o.help && !journalOnly && o.paths.empty() && o.loadLists.empty())
    throw EUsageError(
        "名前を変えるファイルかフォルダを指定してください（または --load-list "
        "でリストのファイル）。");
  return o;
}

}  // namespace tonbo::cli
