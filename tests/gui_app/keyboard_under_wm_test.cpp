// The keyboard as a person uses it: keys typed with xdotool into the real
// windows under a window manager (openbox on Xvfb), through the X server,
// the window manager's focus and Qt's shortcut map.  The ctest entry
// wm_keyboard runs these under tests/wm/with_openbox.sh; elsewhere (the
// offscreen platform) they are skipped.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "gui_app/demo_store.h"
#include "store/race_day.h"
#include "support/find_child.h"
#include "support/main_form_controls.h"
#include "support/scripted_jv_link.h"
#include "support/shell.h"

namespace sorvix {
namespace {

// Types `keys` (xdotool's names) into the window that has the X focus.
void Type(const std::string& keys) {
  test::Shell("xdotool key --clearmodifiers " + keys);
  QCoreApplication::processEvents();
}

bool WaitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 5000);
}

// The top-level window of the program named `name` (nullptr when none).
QWidget* TopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name)) return w;
  return nullptr;
}

// Brings `window` to the front with the window manager's focus.
bool Activate(QWidget* window) {
  window->raise();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window, 5000);
}

class KeyboardUnderWm : public ::testing::Test, public test::MainFormControls<KeyboardUnderWm> {
 protected:
  friend class test::MainFormControls<KeyboardUnderWm>;
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs X with a window manager (ctest -R wm_keyboard)";
    SetMessageHandler([this](MessageKind, const QString& text) {
      messages.push_back(text);
      return true;
    });
    form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
    form->show();
    ASSERT_TRUE(Activate(form.get()));
    ASSERT_NO_FATAL_FAILURE(Choose(QStringLiteral("2024年06月15日")));
    DatList()->setFocus();
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != form.get() && w->isVisible() && !w->parentWidget()) w->close();
    form.reset();
    SetMessageHandler({});
  }

  // Types `keys` in the main window and, when they open a modal dialog,
  // closes it with Esc; the dialog's class name, or "" when none came.
  std::string TypeAndEscapeTheDialog(const std::string& keys) {
    std::string seen;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || !modal->isActiveWindow()) return;
      poll.stop();
      seen = modal->metaObject()->className();
      Type("Escape");
    });
    poll.start();
    Type(keys);
    WaitFor([&] { return !seen.empty() && QApplication::activeModalWidget() == nullptr; });
    return seen;
  }

  test::DemoHome home;
  std::vector<QString> messages;
  std::unique_ptr<TMainForm> form;
};

// Every command of the tool bar has a menu item with a key.
TEST_F(KeyboardUnderWm, EveryToolBarCommandHasAMenuItemWithAKey) {
  QStringList withKeys;
  for (QAction* menu : form->menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (!item->shortcut().isEmpty()) withKeys << item->text().remove('&').section('(', 0, 0);
  for (QToolButton* button : form->findChildren<QToolButton*>()) {
    QString caption = button->text();
    if (caption.isEmpty() || button->objectName() == QLatin1String("qt_toolbar_ext_button"))
      continue;
    static const QMap<QString, QString> kItem = {
        {QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("目次")},
        {QStringLiteral("F"), QStringLiteral("レース一覧の表示切替")},
        {QStringLiteral("予想オッズ"), QStringLiteral("予想オッズ取込")}};
    QString item = kItem.value(caption, caption);
    EXPECT_TRUE(withKeys.contains(item))
        << caption.toStdString() << " in " << withKeys.join(" ").toStdString();
  }
}

// The dialogs the keys open, each closed with Esc: the focus is back in
// the race list of the main window, not in the stay-on-top windows that
// are open beside it.
TEST_F(KeyboardUnderWm, KeysOpenTheDialogsAndEscReturnsTheFocus) {
  form->PlaceSecondaryWindows();
  DeForm()->DeBtnClick();
  KaimeForm()->KaimeHyoBtnClick();
  const struct {
    const char* keys;
    const char* dialog;
  } cases[] = {
      {"ctrl+shift+i", "sorvix::TAboutBox"},
      {"ctrl+j", "sorvix::TGetDataForm"},
      {"ctrl+shift+y", "QFileDialog"},
      {"alt+s u", "sorvix::TUserSetForm"},
      {"alt+d y", "QFileDialog"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Activate(form.get())) << c.keys;
    DatList()->setFocus();
    EXPECT_EQ(TypeAndEscapeTheDialog(c.keys), c.dialog) << c.keys;
    EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == DatList(); }))
        << c.keys << ": the focus is on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : "nothing");
  }
}

// The non-modal windows: a key opens each, Esc closes it, and Ctrl+Tab,
// Ctrl+PgDn, Ctrl+Shift+Tab and Ctrl+PgUp switch its tabs wherever the
// focus is (a table of its own takes Ctrl+Tab otherwise).
TEST_F(KeyboardUnderWm, WindowsOpenByKeySwitchTabsAndCloseWithEsc) {
  const struct {
    const char* keys;    // typed in the main window
    const char* window;  // the window that opens (the main window's own: "")
    const char* tabs;
    const char* focus;  // the control that has the focus while tabs switch
  } cases[] = {
      {"", "", "PageControl1", "StringGrid10"},
      {"ctrl+shift+c", "DeForm", "PageControl1", "StringGrid1"},
      {"ctrl+shift+k", "KaimeForm", "PageControl1", "StringGrid1"},
      {"ctrl+shift+b", "BacktestForm", "Tabs", "SignTable"},
  };
  const struct {
    const char* keys;
    int step;
  } switches[] = {{"ctrl+Tab", 1}, {"ctrl+Next", 1}, {"ctrl+shift+Tab", -1}, {"ctrl+Prior", -1}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Activate(form.get())) << c.keys;
    QWidget* window = form.get();
    if (*c.window) {
      Type(c.keys);
      ASSERT_TRUE(WaitFor([&] {
        window = TopLevel(c.window);
        return window != nullptr && window->isVisible();
      })) << c.keys
          << " did not open " << c.window;
      ASSERT_TRUE(Activate(window)) << c.window;
    }
    auto* tabs = test::Child<QTabWidget>(window, c.tabs);
    tabs->setCurrentIndex(0);
    QWidget* focus = test::Child<QWidget>(window, c.focus);
    focus->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == focus; })) << c.focus;
    int expected = 0;
    for (const auto& s : switches) {
      expected = (expected + s.step + tabs->count()) % tabs->count();
      Type(s.keys);
      EXPECT_TRUE(WaitFor([&] { return tabs->currentIndex() == expected; }))
          << c.window << " " << s.keys << ": tab " << tabs->currentIndex() << ", not " << expected;
    }
    if (*c.window) {
      Type("Escape");
      EXPECT_TRUE(WaitFor([&] { return !window->isVisible(); })) << "Esc left " << c.window;
    }
  }
}

// The date box: ↑/↓ and the wheel choose a date without loading it; Enter
// loads the chosen one, and so does a pick from the open list.
TEST_F(KeyboardUnderWm, DateBoxLoadsOnEnterOrAPickOnly) {
  auto loaded = [this] { return Q(form->Day().LoadedLabel()); };
  const QString first = loaded();
  ASSERT_FALSE(first.isEmpty());
  Type("ctrl+d");
  ASSERT_TRUE(WaitFor([&] { return DateCombo()->hasFocus(); }));
  const int at = DateCombo()->currentIndex();
  Type("Down");
  Type("Down");
  EXPECT_TRUE(WaitFor([&] { return DateCombo()->currentIndex() == at + 2; }));
  QTest::qWait(300);
  EXPECT_EQ(loaded(), first) << "a step of ↓ loaded a date";
  Type("Return");
  EXPECT_TRUE(WaitFor([&] { return loaded() == DateCombo()->itemText(at + 2); }))
      << loaded().toStdString();

  // The wheel over the box.
  QPoint centre = DateCombo()->mapToGlobal(DateCombo()->rect().center());
  test::Shell("xdotool mousemove " + std::to_string(centre.x()) + " " + std::to_string(centre.y()) +
              " click 4");
  EXPECT_TRUE(WaitFor([&] { return DateCombo()->currentIndex() == at + 1; }));
  QTest::qWait(300);
  EXPECT_EQ(loaded(), DateCombo()->itemText(at + 2)) << "a turn of the wheel loaded a date";

  // A pick from the open list.
  Type("alt+Down");
  ASSERT_TRUE(WaitFor([&] { return DateCombo()->view()->isVisible(); }));
  Type("Up");
  Type("Return");
  EXPECT_TRUE(WaitFor([&] { return loaded() == DateCombo()->itemText(at); }))
      << loaded().toStdString();
}

}  // namespace
}  // namespace sorvix
