#include "app/startup_checks.h"

#include "codes/cp932.h"
#include "codes/jv_result_message.h"

namespace sorvix {

std::string JvLinkMissingMessage() {
  return "JRA-VANのホームページより【JV-Link】を入手し、インストールしてください。"_sj;
}

std::string JvInitErrorMessage(int result) {
  return "JVInitエラー："_sj + JvResultMessage("JVInit", result);
}

std::string JvLinkVersionMessage(std::string_view version) {
  if (!(version < std::string_view("0490"))) return {};
  std::string shown;
  for (size_t i = 1; i < 4 && i < version.size(); ++i) {
    if (!shown.empty()) shown += '.';
    shown += version[i];
  }
  return "ご利用中のJV-Linkのバージョンは["_sj + shown + "]です。\r\n"_sj +
         "本ソフトのご利用にはバージョン[4.9.0]以上が必要です。\r\n"_sj +
         "JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。"_sj;
}

}  // namespace sorvix
