// The recipe file: its words quoted as a shell reads them, its version line,
// and the steps the window's commands record.
#include <cstdio>

#include "commands/Recipe.h"
#include "commands/RulesSettings.h"
#include "common/Errors.h"
#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

constexpr std::string_view kMagic = "tonbo-recipe";

std::string LineText(int number) { return std::to_string(number) + "行目："; }

bool PlainChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("-_./=+,:@%").find(static_cast<char>(c)) != std::string_view::npos ||
         c >= 0x80;
}

// $'…' for a word with control characters: the one quoting that keeps a
// name with a line break on one line.
std::string AnsiQuoted(std::string_view word) {
  std::string out = "$'";
  for (unsigned char c : word) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\\' || c == '\'')
      out += {'\\', static_cast<char>(c)};
    else if (c < 0x20 || c == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else
      out += static_cast<char>(c);
  }
  return out + "'";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a $'…' body from i (after the opening quote) to its closing quote.
size_t ReadAnsi(std::string_view line, size_t i, std::string& word) {
  for (; i < line.size() && line[i] != '\''; ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) {
      word += line[i];
      continue;
    }
    const char c = line[++i];
    if (c == 'n')
      word += '\n';
    else if (c == 't')
      word += '\t';
    else if (c == 'r')
      word += '\r';
    else if (c == 'x' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 &&
             HexDigit(line[i + 2]) >= 0) {
      word += static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
      i += 2;
    } else
      word += c;
  }
  return i;
}

// Reads "…" from i (after the opening quote): \ escapes only \ " $ `.
size_t ReadDouble(std::string_view line, size_t i, std::string& word) {
  for (; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size() &&
        std::string_view("\\\"$`").find(line[i + 1]) != std::string_view::npos)
      ++i;
    word += line[i];
  }
  return i;
}

}  // namespace

std::string QuoteRecipeWord(std::string_view word) {
  bool plain = !word.empty(), control = false;
  for (unsigned char c : word) {
    plain = plain && PlainChar(c);
    control = control || c < 0x20 || c == 0x7F;
  }
  if (plain) return std::string(word);
  if (control) return AnsiQuoted(word);
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

RecipeWords SplitRecipeLine(std::string_view line, int number) {
  RecipeWords words;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return words;
    std::string word;
    for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) {
      const char c = line[i];
      size_t end = i;
      if (c == '\'')
        end = line.find('\'', i + 1), word += line.substr(i + 1, end - i - 1);
      else if (c == '"')
        end = ReadDouble(line, i + 1, word);
      else if (c == '$' && i + 1 < line.size() && line[i + 1] == '\'')
        end = ReadAnsi(line, i + 2, word);
      else if (c == '\\' && i + 1 < line.size())
        word += line[++end];
      else
        word += c;
      if (end >= line.size()) throw ERecipeError(LineText(number) + "引用符が閉じていません。");
      i = end;
    }
    words.push_back(std::move(word));
  }
}

std::string RecipeLineText(const RecipeWords& step) {
  std::string line;
  for (const std::string& word : step) line += (line.empty() ? "" : " ") + QuoteRecipeWord(word);
  return line;
}

std::string RecipeText(const std::vector<RecipeWords>& steps) {
  std::string text = std::string(kMagic) + " " + std::to_string(kRecipeVersion) + "\n";
  for (const RecipeWords& step : steps) text += RecipeLineText(step) + "\n";
  return text;
}

namespace {

// The first line is the version: a recipe of a later version may hold steps
// this program would run differently, so it is refused as a whole.
void CheckVersionLine(std::string_view line) {
  const RecipeWords words = SplitRecipeLine(line, 1);
  if (words.size() != 2 || words[0] != kMagic)
    throw ERecipeError(LineText(1) + "手順ファイルではありません（最初の行は「" +
                       std::string(kMagic) + " " + std::to_string(kRecipeVersion) + "」です）。");
  if (words[1] != std::to_string(kRecipeVersion))
    throw ERecipeError(LineText(1) + "手順ファイルの版「" + EscapedBytes(words[1]) +
                       "」は読めません（読めるのは版 " + std::to_string(kRecipeVersion) + "）。");
}

// The lines of the text, without CR, LF or a leading byte order mark.
std::vector<std::string_view> TextLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

TRecipe ParseRecipe(std::string_view text) {
  const std::vector<std::string_view> lines = TextLines(text);
  if (lines.empty()) throw ERecipeError(LineText(1) + "手順ファイルが空です。");
  CheckVersionLine(lines[0]);
  TRecipe recipe;
  for (size_t i = 1; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::string_view line = lines[i];
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') continue;
    RecipeLine step{number, SplitRecipeLine(line, number)};
    CheckRecipeStep(step);
    recipe.lines.push_back(std::move(step));
  }
  return recipe;
}

TRecipe LoadRecipeFile(const std::string& diskPath) {
  std::string bytes;
  int err = 0;
  if (!ReadWholeFile(diskPath, bytes, &err, 1 << 24))
    throw ERecipeError("手順ファイルを読み込めませんでした：" + EscapedBytes(diskPath) + "\n" +
                       ErrnoReason(err));
  return ParseRecipe(bytes);
}

bool SaveRecipeFile(const std::string& diskPath, const std::vector<RecipeWords>& steps,
                    int* errnum) {
  return WriteFileAtomic(diskPath, RecipeText(steps), errnum);
}

std::vector<RecipeWords> RulesLines(const RenameRules& rules, const std::string& option) {
  TIniFileEx ini("");
  SaveRenameRules(rules, ini);
  // Only the keys of this command: "--renban" reads the Renban keys, and so on.
  const std::string command = LowerAscii(option.substr(2));
  std::vector<RecipeWords> steps;
  for (const char* key : RenameRulesKeys()) {
    if (LowerAscii(key).find(command) == std::string::npos) continue;
    steps.push_back(
        {"--set", std::string(key) + "=" + enc::SjisToDisk(ini.ReadString("setting", key, ""))});
  }
  steps.push_back({option});
  return steps;
}

std::vector<RecipeWords> ExtLines(bool extNotChange, const std::string& option) {
  return {{"--set", extNotChange ? "ext_not_change=1" : "ext_not_change=0"}, {option}};
}

RecipeWords AddTextLine(std::string_view sjisText, bool atHead) {
  return {atHead ? "--prepend" : "--append", enc::SjisToDisk(sjisText)};
}

RecipeWords ReplaceLine(const ReplaceOptions& options) {
  RecipeWords words;
  if (options.regularExpression) {
    words = {"--regex", enc::SjisToDisk(options.command)};
  } else {
    words = {"--replace", enc::SjisToDisk(options.search), enc::SjisToDisk(options.replacement)};
    if (options.matchCase) words.push_back("--case");
    if (options.firstOnly) words.push_back("--first");
  }
  const char* scopes[] = {"name", "name+ext", "ext"};
  if (options.scope != ReplaceScope::Name)
    words.insert(words.end(), {"--scope", scopes[static_cast<int>(options.scope)]});
  return words;
}

RecipeWords NamesLine(const std::vector<std::string>& sjisBefore, const TCsvDb& after) {
  RecipeWords words{"--names"};
  bool changed = false;
  for (size_t row = 0; row < sjisBefore.size(); ++row) {
    const int r = static_cast<int>(row);
    std::string name = std::string(after.GetCell(colNewName, r)).append(after.GetCell(colExt, r));
    changed = changed || name != sjisBefore[row];
    words.push_back(enc::SjisToDisk(sjisBefore[row]));
    words.push_back(enc::SjisToDisk(name));
  }
  return changed ? words : RecipeWords{};
}

}  // namespace tonbo
