#include "analysis/ui/user_set_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

class UserSetFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageHandler([this](MessageKind, const QString& text) {
      messages.push_back(text);
      return answer;
    });
  }
  void TearDown() override { SetMessageHandler({}); }

  test::TempHome home;
  std::vector<QString> messages;
  bool answer = true;
};

TEST_F(UserSetFormTest, ShowsDefaultsSavesOnOkAndResetsOnlyAfterYes) {
  home.Write("sorvix.ini", "[SignPoint]\r\nRed1=25\r\n");
  TUserSetForm form;
  EXPECT_EQ(form.Field(Sign::Red1)->text(), "25");
  EXPECT_EQ(form.Field(Sign::Red9)->text(), "15");
  EXPECT_EQ(form.Field(Sign::Special1)->text(), "10");

  form.Field(Sign::Blue1)->setText("7");
  answer = false;
  form.ResetBtnClick();
  EXPECT_EQ(form.Field(Sign::Red1)->text(), "25");  // No: nothing changes
  answer = true;
  form.ResetBtnClick();
  EXPECT_EQ(form.Field(Sign::Red1)->text(), "10");
  EXPECT_EQ(form.Field(Sign::Blue1)->text(), "2");
  EXPECT_EQ(SettingsFile().ReadInteger("SignPoint", "Red1", 0), 25);  // saved only by OK

  form.Field(Sign::Orange1)->setText("0");
  form.OkBtnClick();
  EXPECT_EQ(messages.back(), "表示されている入力内容で保存しました。");
  SignPoints saved = SignPoints::Load(SettingsFile());
  EXPECT_EQ(saved[Sign::Red1], 10);
  EXPECT_EQ(saved[Sign::Orange1], 0);
}

TEST_F(UserSetFormTest, EnterMovesToTheNextFieldAndFieldsTakeTwoDigits) {
  TUserSetForm form;
  form.show();
  QApplication::setActiveWindow(&form);
  form.Field(Sign::Red1)->setFocus();
  QTest::keyClick(form.Field(Sign::Red1), Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());  // Enter does not close the dialog
  EXPECT_TRUE(form.Field(Sign::Red2)->hasFocus());
  form.Field(Sign::Red2)->clear();
  QTest::keyClicks(form.Field(Sign::Red2), "1234");
  EXPECT_EQ(form.Field(Sign::Red2)->text(), "12");
  form.Field(Sign::Red3)->clear();
  QTest::keyClicks(form.Field(Sign::Red3), "-5");
  EXPECT_EQ(form.Field(Sign::Red3)->text(), "5");
}

}  // namespace
}  // namespace sorvix
