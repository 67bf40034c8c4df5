#include "core/RenameReasons.h"

#include <cerrno>

#include "common/FileRead.h"

namespace tonbo {

std::string ReasonText(int err, bool trash) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "（書き込み権限がありません）";
    case ENOSPC:
    case EDQUOT:
      return "（ディスクの空きがありません）";
    case ENAMETOOLONG:
      return "（名前が長すぎます）";
    case ENOENT:
      return "（ファイルが見つかりません）";
    case EEXIST:
      return "（同じ名前のファイルがあります）";
    case EISDIR:
    case ENOTEMPTY:
      return "（同じ名前のフォルダがあります）";
    case EROFS:
      return "（読み込み専用のディスクです）";
    case EBUSY:
    case ETXTBSY:
      return "（ファイルが使用中です）";
    case EXDEV:
      return "（別のディスクには移動できません）";
    case EINVAL:
    case EILSEQ:
      return "（このディスクでは使えない名前です）";
    case kNotRegularFile:
      return "（パイプやデバイスなど、通常のファイルではありません）";
    case EOPNOTSUPP:
      return trash ? "（このディスクにはごみ箱がありません）"
                   : "（このディスクではできない操作です）";
    default:
      return trash ? "（ごみ箱に移動できませんでした）"
                   : "（ディスクの読み書きでエラーが起きました：" + std::to_string(err) + "）";
  }
}

std::string ReasonText(RowProblem problem) {
  switch (problem) {
    case RowProblem::None:
      return {};
    case RowProblem::Replaced:
      return "（リストに加えた後で別のファイルに置き換わっています）";
    case RowProblem::Missing:
      return "（ファイルが見つかりません）";
    case RowProblem::Slash:
      return "（名前に「/」は使えません）";
    case RowProblem::NulByte:
      return "（名前に使えない文字があります）";
    case RowProblem::DotName:
      return "（「.」と「..」は名前にできません）";
    case RowProblem::EmptyName:
      return "（名前が空です）";
    case RowProblem::TargetSwap:
      return "（書き込み先のファイルが途中で置き換わりました）";
    case RowProblem::RingUndone:
      return "（入れ替える相手の名前を変更できなかったので元に戻しました）";
    case RowProblem::TrashTarget:
      return "（ごみ箱に移動できませんでした）";
    case RowProblem::Changed:
      return "（名前の変更の後で書き換えられています）";
    case RowProblem::Moved:
      return "（名前の変更の後で移動されたか、削除されています）";
    case RowProblem::Taken:
      return "（同じ名前のファイルがあります）";
    case RowProblem::SameFile:
      return "（書き込み先は同じファイルの別の名前（ハードリンク）です）";
  }
  return {};
}

}  // namespace tonbo
