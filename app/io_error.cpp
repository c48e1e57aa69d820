#include "app/io_error.h"

#include <cerrno>
#include <cstring>

namespace sorvix {

std::string SystemReason(int err) {
  switch (err) {
    case ENOENT:
      return "ファイルまたはフォルダがありません";
    case EACCES:
      return "アクセスが許可されていません";
    case EPERM:
      return "操作が許可されていません";
    case ENOSPC:
      return "ディスクの空き領域がありません";
    case EDQUOT:
      return "ディスク使用量の制限を超えました";
    case EROFS:
      return "読み取り専用のファイルシステムです";
    case EISDIR:
      return "フォルダです";
    case ENOTDIR:
      return "途中の名前がフォルダではありません";
    case EEXIST:
      return "同じ名前のものが既にあります";
    case EFBIG:
      return "ファイルが大きすぎます";
    case EIO:
      return "入出力エラーが発生しました";
    case ELOOP:
      return "シンボリックリンクが循環しています";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case ENOMEM:
      return "メモリが足りません";
    case EBUSY:
      return "使用中です";
    case ETXTBSY:
      return "実行中のファイルです";
    case EXDEV:
      return "別のファイルシステムへは移動できません";
    case ENOTEMPTY:
      return "フォルダが空ではありません";
    case EINVAL:
      return "引数が正しくありません";
    case ENXIO:
      return "デバイスがありません";
    case EAGAIN:
      return "一時的に利用できません";
    default:
      break;
  }
  return "システムエラー " + std::to_string(err) + "（" + std::strerror(err) + "）";
}

void ThrowIoError(const std::string& what, const std::filesystem::path& path) {
  int err = errno;
  throw Error(what, path.string(), err != 0 ? SystemReason(err) : std::string());
}

}  // namespace sorvix
