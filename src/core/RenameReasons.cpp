#include "core/RenameReasons.h"

#include <cerrno>

#include "common/Errors.h"
#include "common/FileRead.h"

namespace tonbo {

std::string ReasonText(int err, bool trash) {
  switch (err) {
    // A rename writes the folder: the permission missing is that to write.
    case EACCES:
    case EPERM:
      return "（書き込み権限がありません）";
    // A name in the way: a folder, full or not.
    case EISDIR:
    case ENOTEMPTY:
      return "（同じ名前のフォルダがあります）";
    case EOPNOTSUPP:
      if (trash) return "（このディスクにはごみ箱がありません）";
      break;
    case ENOSPC:
    case EDQUOT:
    case ENAMETOOLONG:
    case ENOENT:
    case EEXIST:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EXDEV:
    case EINVAL:
    case EILSEQ:
      break;
    case kNotRegularFile:
      return "（パイプやデバイスなど、通常のファイルではありません）";
    default:
      if (trash) return "（ごみ箱に移動できませんでした）";
      // Kept as the run's log has always said it.
      return "（ディスクの読み書きでエラーが起きました：" + std::to_string(err) + "）";
  }
  return "（" + ErrnoReason(err) + "）";
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
