#include "codes/jv_result_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codes/cp932.h"

namespace sorvix {
namespace {

TEST(JvResultMessage, TextThenCodeInBrackets) {
  struct Case {
    std::string operation;
    int code;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {"JVOpen", -301, "認証エラーが発生しました。(-301)"},
      {"JVRTOpen", -301, "認証エラーが発生しました。(-301)"},
      {"JVStatus", 5, "ダウンロード済みファイル数5(5)"},
      {"JVRead", 1272, "バッファにセットしたデータのサイズ1272(1272)"},
      {"JVClose", 0, "正常に実行されました。(0)"},
      {"JVInit", 0, "正常に実行されました。(0)"},
      {"JVSetUIProperties", 0, "正常に実行されました。(0)"},
      {"JVOpen", -1, " 取得済みデータより最新のデータがありません。(-1)"},
      {"JVRead", -1, "ファイルが切り替わりました。(-1)"},
      {"JVRead", 0, "全ファイルの読み込みが終了しました。（ＥＯＦ ）(0)"},
      {"JVRead", -202,
       "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）(-202)"},
      {"JVOpen", -201, "JVInit が行なわれていません。(-201)"},
      {"JVStatus", -201, "JVInitが行なわれていません。(-201)"},
      {"JVRead", -502, "ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)"},
      {"JVStatus", -502, "ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-502)"},
      {"JVOpen", -501, "セットアップ処理においてＣＤ －ＲＯＭ が無効です。(-501)"},
      {"JVInit", -103, "sid が不正（sid の１桁目がスペース）です。(-103)"},
      {"JVSetUIProperties", -101, "すでにサービスキーが登録されています。(-101)"},
      {"JVInit", -101, "sid が設定されていません。(-101)"},
      {"JVRead", -203, "JVOpenが行なわれていません。(-203)"},
      // Pairs the table has no text for.
      {"JVClose", -1, "(-1)"},
      {"JVOpen", -999, "(-999)"},
      {"JVOpen", 5, "(5)"},
      {"JVStatus", -1, "(-1)"},
      {"JVRead", -2, "(-2)"},
      {"Unknown", 0, "(0)"},
      {"jvopen", -301, "(-301)"},
      {"", 0, "(0)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JvResultMessage(c.operation, c.code), Cp932(c.utf8)) << c.operation << " " << c.code;
  }
}

TEST(JvResultMessage, IsCp932) {
  std::string text = JvResultMessage("JVOpen", -2).bytes();
  EXPECT_EQ(text.substr(0, 2), "\x83\x5A");  // セ
  EXPECT_EQ(text.substr(text.size() - 4), "(-2)");
  EXPECT_TRUE(IsValidCp932(text));
}

}  // namespace
}  // namespace sorvix
