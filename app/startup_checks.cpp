#include "app/startup_checks.h"

#include "codes/cp932.h"
#include "codes/jv_result_message.h"

namespace sorvix {

Cp932Text JvLinkMissingMessage() {
  return Cp932("JRA-VANのホームページより【JV-Link】を入手し、インストールしてください。");
}

Cp932Text JvInitErrorMessage(int result) {
  return Cp932("JVInitエラー：") + JvResultMessage("JVInit", result);
}

Cp932Text JvLinkVersionMessage(std::string_view version) {
  if (!(version < std::string_view("0490"))) return {};
  std::string shown;
  for (size_t i = 1; i < 4 && i < version.size(); ++i) {
    if (!shown.empty()) shown += '.';
    shown += version[i];
  }
  return Cp932("ご利用中のJV-Linkのバージョンは[") + Cp932Text::FromBytes(shown) +
         Cp932(
             "]です。\r\n"
             "本ソフトのご利用にはバージョン[4.9.0]以上が必要です。\r\n"
             "JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。");
}

}  // namespace sorvix
