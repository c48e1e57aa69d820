// The main window and its companions as a person meets them: the keyboard
// in the race list, the progress box, dialogs above the stay-on-top
// windows, places on the screen, and what every window shows after a
// failed load.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <functional>

#include "analysis/ui/user_set_form.h"
#include "app/settings_file.h"
#include "app/ui/help.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "codes/cp932.h"
#include "demo_store.h"
#include "results/ui/kaime_form.h"
#include "store/race_day.h"
#include "store/ui/prgrs_form.h"
#include "support/captured_messages.h"
#include "support/find_child.h"
#include "support/main_form_controls.h"
#include "support/scripted_jv_link.h"
#include "views/de_form.h"
#include "views/race_header_bar.h"
#include "views/string_grid.h"
#include "views/up_down.h"

namespace sorvix {
namespace {

std::string Text(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

const QString kDay1 = QStringLiteral("2024年06月15日");
const QString kDay2 = QStringLiteral("2024年06月16日");

// The page a URL given to the opener leads to: a section is opened through
// a page that sends the browser on (openers drop "#section" from a file
// URL), so the URL itself never has a fragment.
QUrl LeadsTo(const QUrl& opened) {
  EXPECT_FALSE(opened.hasFragment()) << opened.toString().toStdString();
  QFile file(opened.toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) return opened;
  QString html = QString::fromUtf8(file.readAll());
  int at = html.indexOf(QStringLiteral("url="));
  if (at < 0) return opened;
  at += 4;
  return QUrl(html.mid(at, html.indexOf('"', at) - at), QUrl::StrictMode);
}

class WindowBehaviourTest : public ::testing::Test,
                            public test::MainFormControls<WindowBehaviourTest> {
 protected:
  friend class test::MainFormControls<WindowBehaviourTest>;
  void TearDown() override {
    SetManualOpener({});
    form.reset();
  }

  // The manual pages the windows open from now on, instead of opening them.
  std::vector<QUrl>& CaptureManualPages() {
    SetManualOpener([this](const QUrl& url) {
      manualPages.push_back(url);
      return true;
    });
    return manualPages;
  }

  void Open() {
    form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
    form->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  // The race number the header shows, and the row of that race.
  int ShownRaceNumber() const {
    return test::Child<QLabel>(RaceHeader(), "Label3D2")->text().toInt();
  }
  int RaceNumberOfRow(int row) const { return form->Day().RaRec[row].Int(26, 2); }

  QRect GlobalRect(QWidget* w) const { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

  test::DemoHome home;
  test::CapturedMessages messages;
  std::unique_ptr<TMainForm> form;
  std::vector<QUrl> manualPages;
};

TEST_F(WindowBehaviourTest, EveryKeyThatMovesTheRaceListShowsThatRace) {
  Open();
  Choose(kDay1);
  QListWidget* list = DatList();
  ASSERT_GT(list->count(), 12);
  list->setFocus();
  QApplication::setActiveWindow(form.get());
  struct Step {
    Qt::Key key;
    std::function<int(int current)> expected;
  } steps[] = {
      {Qt::Key_Down, [](int r) { return r + 1; }},
      {Qt::Key_Down, [](int r) { return r + 1; }},
      {Qt::Key_Up, [](int r) { return r - 1; }},
      {Qt::Key_End, [list](int) { return list->count() - 1; }},
      {Qt::Key_Home, [](int) { return 0; }},
  };
  for (const Step& step : steps) {
    int before = list->currentRow();
    QTest::keyClick(list, step.key);
    int row = list->currentRow();
    EXPECT_EQ(row, step.expected(before)) << step.key;
    EXPECT_EQ(form->SelectedRace(), row) << step.key;
    EXPECT_EQ(ShownRaceNumber(), RaceNumberOfRow(row)) << step.key;
    EXPECT_EQ(test::Child<QComboBox>(DeForm(), "RaceCombo")->currentIndex(), row) << step.key;
  }
  // The stepper steps from the shown race.
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::mouseClick(test::Child<QToolButton>(UpDown1(), "Right"), Qt::LeftButton);
  EXPECT_EQ(list->currentRow(), 3);
  EXPECT_EQ(form->SelectedRace(), 3);
}

TEST_F(WindowBehaviourTest, KeysStepRacesSwitchTabsFocusTheDateAndReload) {
  Open();
  Choose(kDay1);
  QApplication::setActiveWindow(form.get());
  DatList()->setFocus();
  struct Step {
    QKeyCombination key;
    int row;
  } steps[] = {
      {Qt::Key_PageDown, 1},        {Qt::CTRL | Qt::Key_Right, 2}, {Qt::Key_PageUp, 1},
      {Qt::CTRL | Qt::Key_Left, 0}, {Qt::CTRL | Qt::Key_Left, 0},  // stops at the first race
  };
  for (const Step& step : steps) {
    QTest::keyClick(QApplication::focusWidget(), step.key.key(), step.key.keyboardModifiers());
    EXPECT_EQ(DatList()->currentRow(), step.row);
    EXPECT_EQ(form->SelectedRace(), step.row);
  }
  for (int tab : {1, 2, 0}) {
    QTest::keyClick(form.get(), Qt::Key(Qt::Key_1 + tab), Qt::ControlModifier);
    EXPECT_EQ(PageControl1()->currentIndex(), tab);
  }
  QTest::keyClick(form.get(), Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(DateCombo()->hasFocus());

  // F5 loads the date again and comes back to the shown race.
  form->SelectRace(5);
  form->statusBar()->clearMessage();
  QTest::keyClick(form.get(), Qt::Key_F5);
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("読み込みました"));
  EXPECT_EQ(DatList()->currentRow(), 5);

  // The continuous card steps the main window's race too.
  DeForm()->DeBtnClick();
  QApplication::setActiveWindow(DeForm());
  QTest::keyClick(DeForm(), Qt::Key_PageDown);
  EXPECT_EQ(form->SelectedRace(), 6);
  QTest::keyClick(DeForm(), Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(form->SelectedRace(), 5);
  EXPECT_EQ(test::Child<QComboBox>(DeForm(), "RaceCombo")->currentIndex(), 5);
}

TEST_F(WindowBehaviourTest, HelpOpensTheContentsAndF1ThePageOfTheWindowInFront) {
  std::vector<QUrl>& opened = CaptureManualPages();
  Open();
  Choose(kDay1);
  for (QToolButton* b : form->findChildren<QToolButton*>())
    if (b->text() == "ﾍﾙﾌﾟ") QTest::mouseClick(b, Qt::LeftButton);
  QApplication::setActiveWindow(form.get());
  PageControl1()->setCurrentIndex(1);
  QTest::keyClick(DatList(), Qt::Key_F1);
  DeForm()->DeBtnClick();
  QApplication::setActiveWindow(DeForm());
  QTest::keyClick(test::Child<QComboBox>(DeForm(), "RaceCombo"), Qt::Key_F1);
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_F1);
    static_cast<QDialog*>(modal)->reject();
  });
  TUserSetForm(form.get()).exec();
  SetManualOpener({});

  const char* expected[] = {"index.html", "main.html", "continuous.html", "settings.html"};
  ASSERT_EQ(opened.size(), 4u);
  for (size_t i = 0; i < opened.size(); ++i) {
    QUrl page = LeadsTo(opened[i]);
    EXPECT_TRUE(page.isLocalFile());
    EXPECT_EQ(QFileInfo(page.toLocalFile()).fileName(), expected[i]);
    EXPECT_TRUE(QFileInfo::exists(page.toLocalFile())) << page.toString().toStdString();
  }
  EXPECT_EQ(LeadsTo(opened[1]).fragment(), "sign-table");
  EXPECT_TRUE(messages.empty());
}

// 連続出馬表 names its tabs PageControl1 like the main window.  F1 in the
// main window gives the page of the main window's tab, whatever the order
// of the window's children (raising a panel moves it behind the others).
TEST_F(WindowBehaviourTest, F1InTheMainWindowNamesItsOwnTab) {
  std::vector<QUrl>& opened = CaptureManualPages();
  Open();
  Choose(kDay1);
  PageControl1()->setCurrentIndex(2);
  DeForm()->DeBtnClick();
  test::Child<QTabWidget>(DeForm(), "PageControl1")->setCurrentIndex(0);
  form->centralWidget()->raise();
  QApplication::setActiveWindow(form.get());
  QTest::keyClick(DatList(), Qt::Key_F1);
  SetManualOpener({});

  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(QFileInfo(LeadsTo(opened[0]).toLocalFile()).fileName().toStdString(), "main.html");
  EXPECT_EQ(LeadsTo(opened[0]).fragment().toStdString(), "results");
}

TEST_F(WindowBehaviourTest, OpenDateLoadsTheDateAndShowsTheRace) {
  Open();
  ASSERT_TRUE(form->OpenDate(FromQ(kDay2), 4));
  EXPECT_EQ(DateCombo()->currentText(), kDay2);
  EXPECT_EQ(DatList()->currentRow(), 4);
  EXPECT_EQ(form->SelectedRace(), 4);
  EXPECT_TRUE(PageControl1()->isVisible());

  messages.clear();
  EXPECT_FALSE(form->OpenDate(FromQ(QStringLiteral("2031年01月05日"))));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("2031年01月05日"));
}

TEST_F(WindowBehaviourTest, ProgressBoxIsEnabledFramedAboveTheWindowAndCentred) {
  Open();
  bool seen = false;
  TPrgrsForm* box = PrgrsForm();
  QProgressBar* bar = test::Child<QProgressBar>(box, "ProgressBar1");
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (seen || !box->isVisible()) return;
    seen = true;
    EXPECT_TRUE(box->isEnabled());  // drawn as enabled while the window is busy
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_TRUE(box->isWindow());
    EXPECT_EQ(box->parentWidget(), form.get());  // kept above the main window
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GE(box->frameWidth(), 1);
    QImage image = box->grab().toImage();
    QColor border = image.pixelColor(0, image.height() / 2);
    QColor inside = image.pixelColor(image.width() / 2, 4);
    EXPECT_LT(border.lightness(), 100);
    EXPECT_GT(inside.lightness(), 150);
    QRect avail = form->screen()->availableGeometry();
    EXPECT_LE((box->frameGeometry().center() - avail.center()).manhattanLength(), 2);
    EXPECT_FALSE(form->centralWidget()->isEnabled());
  });
  poll.start();
  Choose(kDay1);
  poll.stop();
  EXPECT_TRUE(seen);
  EXPECT_FALSE(PrgrsForm()->isVisible());
  EXPECT_TRUE(form->centralWidget()->isEnabled());
  EXPECT_TRUE(form->menuBar()->isEnabled());
}

TEST_F(WindowBehaviourTest, ModalDialogsGoAboveTheStayOnTopWindows) {
  Open();
  Choose(kDay1);
  form->PlaceSecondaryWindows();
  DeForm()->DeBtnClick();
  KaimeForm()->KaimeHyoBtnClick();
  ASSERT_TRUE(DeForm()->windowFlags() & Qt::WindowStaysOnTopHint);

  // The settings dialog and the folder chooser: each is on top when shown,
  // and Qt's own chooser speaks Japanese.
  std::vector<std::function<void()>> openers = {
      [this] {
        TUserSetForm dialog(form.get());
        dialog.exec();
      },
      [this] {
        QFileDialog::getExistingDirectory(form.get(), QStringLiteral("単勝予想配当ﾃﾞｰﾀﾌｫﾙﾀﾞの指定"),
                                          QString(), QFileDialog::DontUseNativeDialog);
      },
  };
  for (size_t i = 0; i < openers.size(); ++i) {
    bool checked = false;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      checked = true;
      ASSERT_NE(modal->windowHandle(), nullptr);
      EXPECT_TRUE(modal->windowHandle()->flags() & Qt::WindowStaysOnTopHint) << i;
      EXPECT_FALSE(modal->windowTitle().isEmpty());
      if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
        QStringList buttons;
        for (QPushButton* b : chooser->findChildren<QPushButton*>()) buttons << b->text();
        EXPECT_TRUE(buttons.join(" ").contains("キャンセル")) << buttons.join(" ").toStdString();
      }
      static_cast<QDialog*>(modal)->reject();
    });
    openers[i]();
    EXPECT_TRUE(checked) << i;
  }

  // First-time places leave the main window's controls uncovered (those of
  // 連続出馬表, which depend on the screen's size, are checked on screens of
  // the sizes people use: continuous_card_fit_test).
  QList<QWidget*> controls = {form->menuBar(),   form->findChild<QToolBar*>(),
                              DatList(),         PageControl1()->tabBar(),
                              form->statusBar(), DateCombo()};
  for (QWidget* control : controls)
    EXPECT_FALSE(KaimeForm()->frameGeometry().intersects(GlobalRect(control)))
        << "KaimeForm covers " << control->metaObject()->className() << " "
        << Text(KaimeForm()->frameGeometry()) << " " << Text(GlobalRect(control));
}

TEST_F(WindowBehaviourTest, QtsOwnDialogsSpeakJapanese) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Sorvix"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains("はい"))
      << box.button(QMessageBox::Yes)->text().toStdString();
  EXPECT_TRUE(box.button(QMessageBox::No)->text().contains("いいえ"))
      << box.button(QMessageBox::No)->text().toStdString();
  QFileDialog chooser(nullptr, QStringLiteral("予想オッズデータの取込"));
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  QStringList labels;
  for (QLabel* label : chooser.findChildren<QLabel*>()) labels << label->text();
  EXPECT_FALSE(labels.join(" ").contains("Look in")) << labels.join(" ").toStdString();
}

TEST_F(WindowBehaviourTest, SavedPlacesOffTheScreensComeBackFully) {
  struct Case {
    int left, top, width, height;
  } cases[] = {
      {-99999, 10, 1200, 900},  // a removed monitor on the left
      {3000, 2500, 800, 600},   // beyond the right and bottom
      {10, -40, 1200, 900},     // the title bar above the screen
      {0, 0, 5000, 4000},       // larger than the screen
  };
  for (const Case& c : cases) {
    home.Write("sorvix.ini", "[locate]\r\nleft=" + std::to_string(c.left) + "\r\ntop=" +
                                 std::to_string(c.top) + "\r\nwidth=" + std::to_string(c.width) +
                                 "\r\nheight=" + std::to_string(c.height) + "\r\n");
    Open();
    QRect avail = form->screen()->availableGeometry();
    EXPECT_TRUE(avail.contains(form->frameGeometry()))
        << c.left << "," << c.top << ": " << Text(form->frameGeometry()) << " in " << Text(avail);
    // Closing stores the frame's position, which the next start restores.
    QPoint place = form->pos();
    QSize size = form->size();
    form->close();
    Open();
    EXPECT_EQ(form->pos(), place);
    EXPECT_EQ(form->size(), size);
    form.reset();
  }
}

TEST_F(WindowBehaviourTest, FailedLoadEmptiesEveryWindow) {
  Open();
  Choose(kDay1);
  KaimeForm()->KaimeHyoBtnClick();
  ASSERT_GT(test::Child<QComboBox>(DeForm(), "RaceCombo")->count(), 0);
  // The other date's RaceFile is cut in the middle of a record.
  std::string bytes = home.Read("Data/2024年06月16日.jvRA");
  home.Write("Data/2024年06月16日.jvRA", bytes.substr(0, bytes.size() - 100));
  messages.clear();
  Choose(kDay2);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(DatList()->count(), 0);
  EXPECT_EQ(test::Child<QComboBox>(DeForm(), "RaceCombo")->count(), 0);
  EXPECT_EQ(test::Child<QComboBox>(DeForm(), "BaCombo")->count(), 0);
  for (int g = 1; g <= 8; ++g) {
    EXPECT_TRUE(
        test::Child<QLabel>(DeForm(), QStringLiteral("TitleLabel%1").arg(g))->text().isEmpty())
        << g;
    EXPECT_TRUE(test::Child<StringGrid>(DeForm(), QStringLiteral("StringGrid%1").arg(g))
                    ->Cell(7, 1)
                    .isEmpty())
        << g;
  }
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(test::Child<StringGrid>(KaimeForm(), QStringLiteral("StringGrid%1").arg(i + 1))
                    ->Cell(1, 1)
                    .isEmpty())
        << i;
  EXPECT_TRUE(form->statusBar()->currentMessage().contains(kDay2));
}

TEST_F(WindowBehaviourTest, DateBoxFollowsTheShownDayAndDeadEndsSayWhy) {
  Open();
  messages.clear();
  form->KekkaBtnClick();  // no date loaded
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("開催日")) << messages[0].toStdString();
  EXPECT_EQ(form->statusBar()->currentMessage(), messages[0]);

  Choose(kDay1);
  form->MakeDataListBtnClick();  // what closing the acquisition window runs
  EXPECT_EQ(DateCombo()->currentText(), kDay1);

  // The estimate from predicted odds on a date without odds says so.
  test::Child<QAction>(form.get(), "OddsDataAction")->trigger();
  EXPECT_TRUE(form->statusBar()->currentMessage().contains("予想オッズデータがない"))
      << form->statusBar()->currentMessage().toStdString();
}

}  // namespace
}  // namespace sorvix
