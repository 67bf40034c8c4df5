#include "cli/CliOptions.h"

namespace tonbo::cli {

const char* HelpText() {
  return R"(使い方: tonbo-cli [オプション] パス...

パスのファイルをリストに加え（フォルダは中のファイルをすべて、"." で始まる
フォルダは除く、同じファイルは一度だけ）、コマンドを書いた順に実行します。
各コマンドは、その前の最後の選択オプションで選ばれたファイルに効きます
（選択オプションがまだなければ全部のファイル）。
--apply がなければディスクは何も変わらず、結果の表（新しい名前,拡張子,パス）を
CSV 形式で標準出力に書きます。

名前を付けるコマンド（設定は「名前変換規則の設定」と同じ設定ファイルから）:
  --renban              連番
  --date                ファイル更新日と連番
  --random              ランダムな名前
  --name TEXT           指定した名前（重なる名前には _1, _2, ... が付きます）
  --append TEXT         ファイル名の後ろに文字列を追加
  --prepend TEXT        ファイル名の前に文字列を追加

整形コマンド（「拡張子の変更をしない」が切のときは拡張子も変換）:
  --lower               小文字に揃える
  --upper               大文字に揃える
  --hankaku-ank         英数記号のみ半角に揃える
  --hankaku             半角に揃える
  --zenkaku             全角に揃える
  --hiragana            ひらがなに揃える（拡張子は変えません）
  --katakana            カタカナに揃える（拡張子は変えません）
  --fix-encoding        文字化けを直す（シフトJIS・EUC-JP のままの名前、
                        二重に変換された UTF-8 の名前を本来の名前に）
  --nfc                 濁点を結合する（Mac の分かれた濁点・アクセントをまとめる）

置換:
  --replace OLD NEW     文字列 OLD を NEW に置き換える（OLD が空なら全体を NEW に）
    --case              大文字と小文字を区別する
    --first             最初の一つだけ置き換える
  --regex 's/…/…/g'     正規表現の置換コマンド（i, g などはコマンドに書きます）
    --scope name|name+ext|ext
                        置き換える部分: ファイル名（既定）、ファイル名＋拡張子、
                        拡張子のみ（--replace と --regex の後に書きます）

条件で選択（結果が選択になり、後のコマンドはそのファイルにだけ効きます）:
  --select-mask MASK    ワイルドカード（*, ?, [...]）に全体が合うもの
  --select-regex CMD    正規表現（m/…/ の形、または m を付けないパターン）
  --select-text TEXT    文字列を含むもの
    --not               条件に合わないものを選ぶ
    --in name|ext|name+ext|path|date|contents
                        調べる部分（既定 name+ext）。contents はファイルの中身
    --case              大文字と小文字を区別する

設定:
  --set KEY=VALUE       設定ファイルの [setting] のキーを、この実行の間だけ変える。
                        後に続くコマンドに効きます。設定ファイルは書き換えません。
                        例: spnRenbanLength.Value=4  edtRenbanHeader.Text=img_
                            spnRenbanStart=0  cmbDateFormat.ItemIndex=2
                            ext_not_change=0（拡張子も変える）
                            chkRandomHira=0  spnRandomFrom=6  spnRandomTo=10

リストの保存と読込（ウィンドウの「リストを保存」「リストを読込」と同じ CSV ファイル）:
  --load-list FILE      保存したリストのファイルをパスの後に加える（何度でも）。
                        元の場所にないファイルは、同じフォルダで保存時の新しい名前
                        （拡張子なし）を探し、それもなければ報告します
  --save-list FILE      コマンドを全部実行した後のリストを保存する（--apply の前）

実行と出力:
  --apply               実際に名前を変更する（削除対象のファイルはごみ箱へ）
  --on-conflict overwrite|newer|number|skip|stop
                        新しい名前のファイルが既にあるとき（既定 skip）:
                        overwrite 上書き（元のファイルはごみ箱へ）
                        newer     こちらの方が新しいときだけ上書き
                        number    名前に _1, _2, ... を付ける
                        skip      そのファイルは変更しない
                        stop      そこで中止し、残りはそのまま
  --write-batch FILE    変換リストからバッチファイル（Windows 用）を書く
  --write-script FILE   同じ名前変更をする sh スクリプトを書く（mv -n、削除対象は
                        gio trash。できなかった行を表示し、終了コード 1）
  --backup-to FOLDER    選ばれたファイルを新しい名前で FOLDER にコピーする
                        （同名のファイルは --on-conflict の方法で。リストのファイルには
                        上書きしません）
                        この三つがあれば表は書きません。--apply より前に実行します
  --undo-last           最後に実行した名前変更を元に戻す（ごみ箱に移したファイルも戻す。
                        実行後に変更・移動されたファイルはそのままにして報告）
  --recover finish|rollback|show
                        途中で終わった名前変更（強制終了、停電など）を
                        finish 最後まで済ませる／rollback 元の名前に戻す／show 状態を表示
                        （この二つはパスやほかのコマンドとは一緒に使いません）
  --utf8                表を UTF-8 で書く（既定はシフト JIS / コードページ 932）
  --seed N              ランダムな名前の乱数の種（同じ種なら同じ名前）
  -q, --quiet           途中の報告を書かない（警告、エラー、結果は書きます）
  -h, --help            この説明
  --                    これより後はすべてパス

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
}

}  // namespace tonbo::cli
