#include "analysis/ui/user_set_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "support/find_child.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

// The field of a sign, named by the sign's settings key.
QLineEdit* Field(const TUserSetForm& form, Sign sign) {
  return test::Child<QLineEdit>(&form, InfoOf(sign).key);
}

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
  EXPECT_EQ(Field(form, Sign::Red1)->text(), "25");
  EXPECT_EQ(Field(form, Sign::Red9)->text(), "15");
  EXPECT_EQ(Field(form, Sign::Special1)->text(), "10");

  Field(form, Sign::Blue1)->setText("7");
  answer = false;
  form.ResetBtnClick();
  EXPECT_EQ(Field(form, Sign::Red1)->text(), "25");  // No: nothing changes
  answer = true;
  form.ResetBtnClick();
  EXPECT_EQ(Field(form, Sign::Red1)->text(), "10");
  EXPECT_EQ(Field(form, Sign::Blue1)->text(), "2");
  EXPECT_EQ(SettingsFile().ReadInteger("SignPoint", "Red1", 0), 25);  // saved only by OK

  Field(form, Sign::Orange1)->setText("0");
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
  Field(form, Sign::Red1)->setFocus();
  QTest::keyClick(Field(form, Sign::Red1), Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());  // Enter does not close the dialog
  EXPECT_TRUE(Field(form, Sign::Red2)->hasFocus());
  Field(form, Sign::Red2)->clear();
  QTest::keyClicks(Field(form, Sign::Red2), "1234");
  EXPECT_EQ(Field(form, Sign::Red2)->text(), "12");
  Field(form, Sign::Red3)->clear();
  QTest::keyClicks(Field(form, Sign::Red3), "-5");
  EXPECT_EQ(Field(form, Sign::Red3)->text(), "5");
}

TEST_F(UserSetFormTest, EnterOnTheLastFieldMovesToOk) {
  TUserSetForm form;
  form.show();
  QApplication::setActiveWindow(&form);
  QLineEdit* last = Field(form, Sign::Special1);  // the last field in tab order
  last->setFocus();
  QTest::keyClick(last, Qt::Key_Return);
  auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(focused->text(), "OK");
  EXPECT_TRUE(form.isVisible());
}

TEST_F(UserSetFormTest, StoredValuesOutOfRangeAreMarkedAndKeptUnlessTyped) {
  home.Write("sorvix.ini", "[SignPoint]\r\nRed2=-5\r\nRed3=1000\r\nRed4=100\r\nRed5=99\r\n");
  TUserSetForm form;
  struct Case {
    Sign sign;
    const char* placeholder;
  } marked[] = {{Sign::Red2, "-5"}, {Sign::Red3, "1000"}, {Sign::Red4, "100"}};
  for (const Case& c : marked) {
    QLineEdit* field = Field(form, c.sign);
    EXPECT_EQ(field->text(), "");  // never cut to two digits ("10")
    EXPECT_EQ(field->placeholderText(), c.placeholder);
    EXPECT_TRUE(field->toolTip().contains("範囲外")) << field->toolTip().toStdString();
  }
  EXPECT_EQ(Field(form, Sign::Red5)->text(), "99");
  EXPECT_EQ(Field(form, Sign::Red5)->placeholderText(), "");

  // The user types a new value for Red4 only.
  form.show();
  QApplication::setActiveWindow(&form);
  Field(form, Sign::Red4)->setFocus();
  QTest::keyClicks(Field(form, Sign::Red4), "7");
  EXPECT_EQ(Field(form, Sign::Red4)->placeholderText(), "");
  form.OkBtnClick();
  SettingsFile ini;
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red2", 0), -5);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red3", 0), 1000);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red4", 0), 7);
  EXPECT_EQ(ini.ReadInteger("SignPoint", "Red5", 0), 99);

  // 初期値に戻す replaces a kept value like typing does.
  TUserSetForm again;
  EXPECT_EQ(Field(again, Sign::Red3)->placeholderText(), "1000");
  again.ResetBtnClick();
  EXPECT_EQ(Field(again, Sign::Red3)->text(), "10");
  again.OkBtnClick();
  EXPECT_EQ(SettingsFile().ReadInteger("SignPoint", "Red3", 0), 10);
}

}  // namespace
}  // namespace sorvix
