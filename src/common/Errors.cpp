#include "common/Errors.h"

#include <cerrno>

namespace tonbo {

std::string ErrnoReason(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "アクセスする権限がありません";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空きがありません";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case ENOENT:
      return "ファイルが見つかりません";
    case ENOTDIR:
      return "フォルダが見つかりません";
    case EEXIST:
      return "同じ名前のファイルがあります";
    case EISDIR:
      return "フォルダです";
    case ENOTEMPTY:
      return "フォルダが空ではありません";
    case EROFS:
      return "読み込み専用のディスクです";
    case EBUSY:
    case ETXTBSY:
      return "ファイルが使用中です";
    case EXDEV:
      return "別のディスクには移動できません";
    case EINVAL:
    case EILSEQ:
      return "このディスクでは使えない名前です";
    case EOPNOTSUPP:
      return "このディスクではできない操作です";
    case ELOOP:
      return "リンクがたどれません";
    case EMFILE:
    case ENFILE:
    case ENOMEM:
      return "開いているファイルが多すぎます";
    case EFBIG:
      return "ファイルが大きすぎます";
    case EIO:
      return "ディスクの読み書きでエラーが起きました";
    default:
      return "ディスクの読み書きでエラーが起きました：" + std::to_string(err);
  }
}

}  // namespace tonbo
