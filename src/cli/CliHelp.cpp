#include <string>

#include "cli/CliOptions.h"

namespace tonbo::cli {
namespace {

constexpr const char* kIntro = R"(使い方: tonbo-cli [オプション] パス...

パスのファイルをリストに加え（フォルダは中のファイルをすべて、"." で始まる
フォルダは除く、同じファイルは一度だけ）、コマンドを書いた順に実行します。
各コマンドは、その前の最後の選択オプションで選ばれたファイルに効きます
（選択オプションがまだなければ全部のファイル）。
--apply がなければディスクは何も変わらず、結果の表（新しい名前,拡張子,パス）を
CSV 形式で標準出力に書きます。
)";

constexpr const char* kOutro = R"(
値を一つ取るオプションは --scope=ext のようにも書けます。
報告とエラーは標準エラー出力に UTF-8 で書きます。名前の中の制御文字は \x1b、\n
などの形で表示します（標準出力が端末のときは表も。ファイルやパイプには元のまま）。

終了コード:
  0  すべて終わった（--apply では全部のファイルを変更できた）
  1  変更できなかったファイル、読めなかったフォルダ、リストにあって見つからない
     ファイルがあった、中止した、リストを保存できなかった（このときは --apply も
     しません）、または標準出力に書き込めなかった
  2  使い方の誤り（不明なオプション、値の不足、正しくないマスクや正規表現、
     見つからないパス、読めないリストのファイル、扱えない文字の名前）。
     このときディスクは何も変わりません

例:
  tonbo-cli --renban ~/写真                     連番の表を見る
  tonbo-cli --regex 's/^/x_/' --apply .          全部の名前の前に x_ を付ける
  tonbo-cli --set ext_not_change=0 --select-mask '*.JPG' --lower --apply ~/写真
                                                 .JPG のファイルを拡張子まで小文字に
)";

// Where the help lines start, after the option and its values.
constexpr size_t kHelpColumn = 24;

size_t Characters(const std::string& utf8) {
  size_t count = 0;
  for (char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

std::string HelpLines(const CliOption& option) {
  if (!option.formatting) return option.help;
  const FormatRule& rule = FormatRuleOf(*option.formatting);
  return std::string(rule.label) + (rule.extensionToo ? "" : "（拡張子は変えません）");
}

// The option with its values, then its help from kHelpColumn on (on the next
// line when the option leaves no room).
std::string OptionLines(const CliOption& option) {
  std::string line(option.follows ? 4 : 2, ' ');
  if (option.shortName) line += std::string(option.shortName) + ", ";
  line += option.name;
  if (*option.values) line += std::string(" ") + option.values;
  const size_t width = Characters(line);
  line += width < kHelpColumn ? std::string(kHelpColumn - width, ' ')
                              : "\n" + std::string(kHelpColumn, ' ');
  const std::string help = HelpLines(option);
  for (char c : help) {
    line += c;
    if (c == '\n') line += std::string(kHelpColumn, ' ');
  }
  return line + "\n";
}

std::string RenderHelp() {
  std::string text = kIntro;
  for (const CliOption& option : OptionList())
    text += option.name ? OptionLines(option) : "\n" + std::string(option.help) + "\n";
  return text + kOutro;
}

}  // namespace

const char* HelpText() {
  static const std::string text = RenderHelp();
  return text.c_str();
}

}  // namespace tonbo::cli
