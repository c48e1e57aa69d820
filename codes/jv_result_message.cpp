#include "codes/jv_result_message.h"

#include <array>

#include "codes/cp932.h"

namespace sorvix {

namespace {

struct MessageRow {
  std::string_view operations;  // the operation names the row applies to, blank-separated
  int code;
  const char* text;  // UTF-8
};

// The texts differ slightly between operations (bracket widths, blanks,
// "行なわれて"); each row keeps its own.
constexpr std::array<MessageRow, 41> kMessages = {{
    {"JVInit", -103, "sid が不正（sid の１桁目がスペース）です。"},
    {"JVInit", -102, "sid が64byte 以上あります。"},
    {"JVInit", -101, "sid が設定されていません。"},
    {"JVInit JVSetUIProperties JVStatus JVClose", 0, "正常に実行されました。"},
    {"JVSetUIProperties", -100, "パラメータが不正あるいはレジストリへの保存に失敗しました。"},
    {"JVSetUIProperties", -101, "すでにサービスキーが登録されています。"},
    {"JVOpen JVRTOpen", 0, "正常に実行されました。"},
    {"JVOpen JVRTOpen", -1, " 取得済みデータより最新のデータがありません。"},
    {"JVOpen JVRTOpen", -2, "セットアップダイアログでキャンセルが押されました。"},
    {"JVOpen JVRTOpen", -111, "dataspec パラメータが不正です。"},
    {"JVOpen JVRTOpen", -112, "fromdate パラメータが不正です。"},
    {"JVOpen JVRTOpen", -114, "key パラメータが不正です。"},
    {"JVOpen JVRTOpen", -115, "option パラメータが不正です。"},
    {"JVOpen JVRTOpen", -116, "dataspec とoption の組み合わせが不正です。"},
    {"JVOpen JVRTOpen", -201, "JVInit が行なわれていません。"},
    {"JVOpen JVRTOpen JVRead", -202,
     "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）"},
    {"JVOpen JVRTOpen", -211, "レジストリ内容が不正（レジストリ内容が不正に変更された）です。"},
    {"JVOpen JVRTOpen", -301, "認証エラーが発生しました。"},
    {"JVOpen JVRTOpen", -302, "サービスキーの有効期限切れです。"},
    {"JVOpen JVRTOpen", -303, "サービスキーが設定されていません。（サービスキーが空値）"},
    {"JVOpen JVRTOpen", -305, "JV-Link 利用規約への同意が必要です。"},
    {"JVOpen JVRTOpen", -401, "JV-Link 内部エラーが発生しました。"},
    {"JVOpen JVRTOpen", -411, "サーバーエラー（HTTP ステータス404 NotFount ）が発生しました。"},
    {"JVOpen JVRTOpen", -412, "サーバーエラー（HTTP ステータス403 Forbidden ）が発生しました。"},
    {"JVOpen JVRTOpen", -413, "サーバーエラー（HTTP ステータス200,403,404 以外）が発生しました。"},
    {"JVOpen JVRTOpen", -421, "サーバーエラー（サーバーの応答が不正）が発生しました。"},
    {"JVOpen JVRTOpen", -431,
     "サーバーエラー（サーバーアプリケーション内部エラー）が発生しました。"},
    {"JVOpen JVRTOpen", -501, "セットアップ処理においてＣＤ －ＲＯＭ が無効です。"},
    {"JVOpen JVRTOpen", -504, "サーバーがメンテナンス中です。"},
    {"JVStatus", -201, "JVInitが行なわれていません。"},
    {"JVStatus", -203, "JVOpenが行なわれていません。"},
    {"JVStatus", -502, "ダウンロードに失敗しました。（通信エラーやディスクエラーなど）"},
    {"JVRead", 0, "全ファイルの読み込みが終了しました。（ＥＯＦ ）"},
    {"JVRead", -1, "ファイルが切り替わりました。"},
    {"JVRead", -3, "ファイルダウンロード中"},
    {"JVRead", -201, "JVInitが行なわれていません。"},
    {"JVRead", -203, "JVOpenが行なわれていません。"},
    {"JVRead", -402, "ダウンロードしたファイルサイズが異常です。"},
    {"JVRead", -403, "ダウンロードしたファイル内容が異常です。"},
    {"JVRead", -502, "ダウンロードに失敗しました。(通信エラーやディスクエラー)"},
    {"JVRead", -503, "ファイルが見つかりません。"},
}};

bool NamesOperation(std::string_view operations, std::string_view operation) {
  while (!operations.empty()) {
    size_t end = operations.find(' ');
    if (operations.substr(0, end) == operation) return true;
    if (end == std::string_view::npos) break;
    operations.remove_prefix(end + 1);
  }
  return false;
}

// The message text of the pair in UTF-8; empty when the table has none.
std::string MessageText(std::string_view operation, int code) {
  // A positive JVStatus result counts the downloaded files, a positive
  // JVRead result is the size of the record read.
  if (code > 0 && operation == "JVStatus")
    return "ダウンロード済みファイル数" + std::to_string(code);
  if (code > 0 && operation == "JVRead")
    return "バッファにセットしたデータのサイズ" + std::to_string(code);
  for (const MessageRow& row : kMessages) {
    if (row.code == code && NamesOperation(row.operations, operation)) return row.text;
  }
  return "";
}

}  // namespace

Cp932Text JvResultMessage(std::string_view operation, int code) {
  return Cp932(MessageText(operation, code) + "(" + std::to_string(code) + ")");
}

}  // namespace sorvix
