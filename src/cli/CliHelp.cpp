#include <string>

#include "cli/CliOptions.h"

namespace tonbo::cli {
namespace {

constexpr const char* kIntro = R"(使い方: tonbo-cli [オプション] パス...

パスのファイルをリストに加え、コマンドを書いた順に実行します。
パスに書いたファイルは、書いた順にそのまま加えます（"." で始まる名前も）。
フォルダは、その中のファイルをウィンドウの一覧と同じ順に加えます。下のフォルダは
-r を付けたときだけ、"." で始まる名前のファイルとフォルダは --hidden を付けたとき
だけ加えます。同じファイルは一度だけです。
各コマンドは、その前の最後の選択オプションで選ばれたファイルに効きます
（選択オプションがまだなければ全部のファイル）。
--apply がなければディスクは何も変わりません。標準出力が端末なら、名前が変わる
ファイルだけを「元の名前 → 新しい名前」の形で、衝突する行（同じ名前のファイルが
残る、二つの行が同じ名前になる、使えない名前）に ! を付けて書きます。ファイルや
パイプ（と --table）には、全部の行の表（新しい名前,拡張子,パス）を CSV 形式で書きます。
表は、ロケールが UTF-8 のときと端末では UTF-8、行末は LF です。
)";

constexpr const char* kOutro = R"(
値を一つ取るオプションは --scope=ext のようにも書けます。値を取らない一文字の
オプションは -rq のようにまとめて書けます。
報告とエラーは標準エラー出力に UTF-8 で書きます。名前の中の制御文字は \x1b、\n
などの形で表示します（標準出力が端末のときは表も。ファイルやパイプには元のまま）。

終了コード:
  0  すべて終わった（--apply では全部のファイルを変更できた。--apply がなければ、
     名前が変わる行がどれも衝突しない）
  1  変更できなかった・スキップしたファイルがあった、衝突する行がある（--apply
     なし）、読めないフォルダがあった、リストや --files-from にあって見つからない
     ファイルがあった、中止した、元に戻せないファイルがあった（--undo-last、
     --undo。--apply がなくても）、読めない・知らない形式の名前変更の記録があった、
     リストを保存できなかった（このときは --apply もしません）、バッチファイルに
     書けない行があった、または標準出力に書き込めなかった
  2  使い方の誤り（不明なオプション、値の不足、正しくないマスクや正規表現、
     見つからないパス、読めないリストのファイル、ランダムに使う文字がない、
     フォルダでないバックアップ先）。このときディスクは何も変わりません

例:
  tonbo-cli --renban ~/写真                     名前がどう変わるかを見る
  tonbo-cli --regex 's/^/x_/' --apply .          全部の名前の前に x_ を付ける
  tonbo-cli --set ext_not_change=0 --select-mask '*.JPG' --lower --apply -r ~/写真
                                                 下のフォルダまで .JPG を小文字に
  find . -name '*.jpg' -print0 | tonbo-cli -0 --files-from - --renban
                                                 find で見つけたファイルに連番
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

std::string VersionText() { return std::string("tonbo-cli ") + TONBO_VERSION + "\n"; }

}  // namespace tonbo::cli
