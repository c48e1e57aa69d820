#include "print/ui/all_print_form.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "analysis/ring_layout.h"
#include "app/io_error.h"
#include "app/settings_file.h"
#include "app/ui/help.h"
#include "app/ui/message_box.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/race_day.h"
#include "support/find_child.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

std::unique_ptr<RaceDay> DayOfRaces(int races) {
  auto day = RaceDay::Create();
  day->RaceListRows = day->RaceCount = races;
  for (int s = 0; s < races; ++s) {
    RaceSheet& sheet = day->Sheet[s];
    sheet.RaceKey = Format("20240615060305%02d", s % 12 + 1);
    sheet.StartTime = "1010";
    sheet.RunnerCount = "16";
    sheet.Distance = "2000";
    sheet.RaceName = Format("RACE%02d", s + 1);
    for (int k = 0; k < kRingRows; ++k) {
      sheet.HorseNo[k] = Format("%02d", RingHorse(16, k));
      sheet.BracketNo[k] = "1";
      sheet.HorseName[k] = "アイウエオ"_sj;
      sheet.JockeyName[k] = "騎手"_sj;
      sheet.Burden[k] = "550";
    }
  }
  return day;
}

// A preview of the continuous race card over 36 races: three pages, each
// naming its own races.  Prints go to the built-in PDF printer.
struct Preview {
  test::TempHome home;
  std::unique_ptr<RaceDay> day = DayOfRaces(36);
  std::unique_ptr<TAllPrintForm> form = MakePrintPreview(
      nullptr, *day, PrintLayout::Continuous, PrintScope::AllVenues, BlockOrder::Columns);
  // The file names the file dialog gives, one per question, and the
  // questions asked.
  std::vector<QString> answers;
  int asked = 0;
  Preview() {
    form->SetPdfPathChooser([this] {
      ++asked;
      return asked <= static_cast<int>(answers.size()) ? answers[static_cast<size_t>(asked - 1)]
                                                       : QString();
    });
  }
  QString File(const std::string& name) const {
    return QString::fromStdString((home.path() / name).string());
  }
};

// The preview window's controls, by their names.
QSpinBox* PageStepper(const TAllPrintForm& form) {
  return test::Child<QSpinBox>(&form, "PageStepper");
}
QButtonGroup* ZoomGroup(const TAllPrintForm& form) {
  return test::Child<QButtonGroup>(&form, "ZoomGroup");
}
QListWidget* PageList(const TAllPrintForm& form) {
  return test::Child<QListWidget>(&form, "PageList");
}
QPushButton* PlainPrintButton(const TAllPrintForm& form) {
  return test::Child<QPushButton>(&form, "PlainPrintButton");
}
TPrevXView* PreviewControl(const TAllPrintForm& form) {
  return test::Child<TPrevXView>(&form, "Preview");
}

bool HavePoppler() {
  return !QStandardPaths::findExecutable("pdfinfo").isEmpty() &&
         !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString Poppler(const QString& program, const QStringList& args) {
  QProcess proc;
  proc.start(program, args);
  proc.waitForFinished();
  return QString::fromUtf8(proc.readAllStandardOutput());
}

int PdfPages(const QString& path) {
  for (const QString& line : Poppler("pdfinfo", {path}).split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return 0;
}

// The text of one page of a PDF file.
QString PdfPageText(const QString& path, int page) {
  QString n = QString::number(page);
  return Poppler("pdftotext", {"-f", n, "-l", n, "-layout", path, "-"});
}

std::set<std::string> FolderNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(AllPrintForm, ComposesTheLayoutWithItsCaptionAndPageLabels) {
  Preview p;
  ASSERT_NE(p.form, nullptr);
  EXPECT_EQ(p.form->windowTitle(), QString::fromUtf8("連続出馬表印刷[全開催場]"));
  EXPECT_EQ(p.form->Prev().PageCount(), 3);
  EXPECT_EQ(p.form->Prev().MarginTop, 50);
  ASSERT_EQ(PageList(*p.form)->count(), 3);
  EXPECT_EQ(PageList(*p.form)->item(2)->text(), QString::fromUtf8("3ﾍﾟｰｼﾞ目"));
  EXPECT_EQ(PageStepper(*p.form)->minimum(), 1);
  EXPECT_EQ(PageStepper(*p.form)->maximum(), 3);
  EXPECT_EQ(PageStepper(*p.form)->value(), 1);
  EXPECT_TRUE(PlainPrintButton(*p.form)->isHidden());
}

TEST(AllPrintForm, EmptyRaceListShowsTheMessageAndNoWindow) {
  test::TempHome home;
  std::vector<QString> messages;
  SetMessageHandler([&](MessageKind kind, const QString& text) {
    EXPECT_EQ(kind, MessageKind::Information);
    messages.push_back(text);
    return true;
  });
  auto day = RaceDay::Create();
  for (PrintLayout layout : {PrintLayout::Continuous, PrintLayout::Ring, PrintLayout::Batch})
    EXPECT_EQ(MakePrintPreview(nullptr, *day, layout, PrintScope::AllVenues, BlockOrder::Columns),
              nullptr);
  SetMessageHandler({});
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], QString::fromUtf8("分析用ﾃﾞｰﾀを選択してください。"));
}

// F1 in the preview, which runs modal as in a print command, opens the
// manual's page of the print preview, not its table of contents.
TEST(AllPrintForm, F1OpensThePrintPage) {
  Preview p;
  HelpKey::Install();
  std::vector<QUrl> opened;
  SetManualOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    EXPECT_EQ(modal, p.form.get());
    if (modal) QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_F1);
    p.form->reject();
  });
  p.form->exec();
  SetManualOpener({});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(QFileInfo(opened[0].toLocalFile()).fileName().toStdString(), "print.html");
}

TEST(AllPrintForm, ZoomChoiceIsBoundedAndSaved) {
  Preview p;
  // Default item 1: 50 %.
  EXPECT_EQ(p.form->Prev().ZoomScale(), 50);
  EXPECT_EQ(ZoomGroup(*p.form)->checkedId(), 1);
  QSize half = PreviewControl(*p.form)->size();

  ZoomGroup(*p.form)->button(3)->click();
  EXPECT_EQ(p.form->Prev().ZoomScale(), 100);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 3);
  // The paper doubles (within rounding) and keeps the 10-pixel border.
  EXPECT_NEAR(PreviewControl(*p.form)->width() - 20, 2 * (half.width() - 20), 2);

  ZoomGroup(*p.form)->button(0)->click();
  EXPECT_EQ(p.form->Prev().ZoomScale(), 25);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 0);

  // Out of range items are refused; the scale and the saved item stay.
  p.form->SetZoomIndex(-1);
  p.form->SetZoomIndex(4);
  EXPECT_EQ(p.form->Prev().ZoomScale(), 25);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 0);
  EXPECT_EQ(ZoomGroup(*p.form)->buttons().size(), 4);

  // The next window opens with the saved item.
  auto again = MakePrintPreview(nullptr, *p.day, PrintLayout::Ring, PrintScope::AllVenues,
                                BlockOrder::Columns);
  EXPECT_EQ(again->Prev().ZoomScale(), 25);
  EXPECT_EQ(ZoomGroup(*again)->checkedId(), 0);
}

TEST(AllPrintForm, StepperShowsPagesWithinTheRange) {
  Preview p;
  PageStepper(*p.form)->setValue(3);
  EXPECT_EQ(p.form->Prev().ShownPage(), 3);
  PageStepper(*p.form)->setValue(9);  // clamped by the stepper
  EXPECT_EQ(p.form->Prev().ShownPage(), 3);
  PageStepper(*p.form)->setValue(2);
  EXPECT_EQ(p.form->Prev().ShownPage(), 2);
}

TEST(AllPrintForm, CheckAllAndClearAll) {
  Preview p;
  EXPECT_TRUE(p.form->CheckedPages().empty());
  p.form->CheckAll(true);
  EXPECT_EQ(p.form->CheckedPages(), (std::vector<int>{1, 2, 3}));
  p.form->CheckAll(false);
  EXPECT_TRUE(p.form->CheckedPages().empty());
}

// The built-in PDF printer (the only one without CUPS) is a file printer:
// the checked pages go into one file, asked for once per print, written by
// the printer itself.
TEST(AllPrintForm, ChosenPagesOnThePdfPrinterGoIntoOneFileAskedForEachPrint) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo and pdftotext are needed";
  Preview p;
  ASSERT_EQ(p.form->findChild<QComboBox*>()->currentIndex(), 0);
  p.answers = {p.File("chosen.pdf"), p.File("all.pdf"), QString()};
  p.form->PrintChosenPages();  // nothing checked: nothing asked, nothing printed
  EXPECT_EQ(p.asked, 0);

  PageList(*p.form)->item(0)->setCheckState(Qt::Checked);
  PageList(*p.form)->item(2)->setCheckState(Qt::Checked);
  p.form->PrintChosenPages();
  EXPECT_EQ(p.asked, 1);
  p.form->CheckAll(true);
  p.form->PrintChosenPages();
  EXPECT_EQ(p.asked, 2);  // the second print asked again
  ASSERT_EQ(PdfPages(p.File("all.pdf")), 3);
  ASSERT_EQ(PdfPages(p.File("chosen.pdf")), 2);
  QString first = PdfPageText(p.File("all.pdf"), 1), third = PdfPageText(p.File("all.pdf"), 3);
  EXPECT_TRUE(first.contains("RACE01")) << first.toStdString();
  EXPECT_FALSE(third.contains("RACE01")) << third.toStdString();
  EXPECT_EQ(PdfPageText(p.File("chosen.pdf"), 1), first);
  EXPECT_EQ(PdfPageText(p.File("chosen.pdf"), 2), third);

  // A cancelled file dialog prints nothing; the next print asks again.
  p.form->PrintChosenPages();
  EXPECT_EQ(p.asked, 3);
  EXPECT_EQ(FolderNames(p.home.path()), (std::set<std::string>{"all.pdf", "chosen.pdf"}));
}

TEST(AllPrintForm, ShownPagePrintAsksTheDialogThenPrintsThatPage) {
  if (!HavePoppler()) GTEST_SKIP() << "pdfinfo and pdftotext are needed";
  Preview p;
  bool confirm = false;
  int dialogs = 0;
  QString dialogFile;
  // The print dialog names the file when the user types one there.
  p.form->SetPrintDialog([&](QPrinter& printer) {
    ++dialogs;
    if (!dialogFile.isEmpty()) printer.setOutputFileName(dialogFile);
    return confirm;
  });
  p.answers = {p.File("asked.pdf")};
  PageStepper(*p.form)->setValue(2);
  p.form->PrintShownPage();  // cancelled
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(FolderNames(p.home.path()).empty());

  confirm = true;
  dialogFile = p.File("shown.pdf");
  p.form->PrintShownPage();
  EXPECT_EQ(p.asked, 0);
  ASSERT_EQ(PdfPages(dialogFile), 1);
  EXPECT_TRUE(PdfPageText(dialogFile, 1).contains("RACE13"));

  // Without a name from the dialog the file dialog asks: the last print's
  // file is not reused.
  dialogFile.clear();
  p.form->PrintShownPage();
  EXPECT_EQ(p.asked, 1);
  EXPECT_EQ(PdfPages(p.File("asked.pdf")), 1);
}

TEST(AllPrintForm, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
  Preview p;
  std::vector<QString> warnings;
  SetMessageHandler([&](MessageKind kind, const QString& text) {
    EXPECT_EQ(kind, MessageKind::Warning);
    warnings.push_back(text);
    return true;
  });
  p.answers = {"/proc/sorvix-card.pdf", p.File("missing/card.pdf")};
  p.form->CheckAll(true);
  p.form->PrintChosenPages();
  p.form->PrintChosenPages();
  SetMessageHandler({});
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_TRUE(warnings[0].startsWith(
      QString::fromUtf8("PDF ファイルを書き込めません: /proc/sorvix-card.pdf: "
                        "フォルダ /proc に一時ファイルを作れません: ")))
      << warnings[0].toStdString();
  EXPECT_TRUE(warnings[1].endsWith(QString::fromUtf8(SystemReason(ENOENT))))
      << warnings[1].toStdString();
  EXPECT_TRUE(FolderNames(p.home.path()).empty());
}

// A printer that stops writing half way (here at a file size limit, as on a
// full disk) leaves an incomplete file without saying so: the print reports
// it with the system's reason and keeps no file.  Run in a child process,
// which the limit applies to.
TEST(AllPrintForm, APrintCutShortByTheDiskIsReportedAndLeavesNothing) {
  Preview p;
  p.answers = {p.File("card.pdf")};
  p.form->CheckAll(true);
  std::filesystem::path report = p.home.path() / "report.txt";
  std::fflush(nullptr);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = 16 << 10;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);
    std::string seen;
    SetMessageHandler([&](MessageKind, const QString& text) {
      seen += text.toStdString() + "\n";
      return true;
    });
    p.form->PrintChosenPages();
    for (const std::string& name : FolderNames(p.home.path())) seen += "file " + name + "\n";
    int fd = ::open(report.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      (void)!::write(fd, seen.data(), seen.size());
      ::close(fd);
    }
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(p.home.Read("report.txt"),
            "PDF ファイルを書き込めません: " + p.File("card.pdf").toStdString() + ": " +
                SystemReason(EFBIG) + "\n");
}

TEST(AllPrintForm, PdfSaveWritesTheCheckedPagesOrAll) {
  Preview p;
  QString path = QString::fromStdString((p.home.path() / "card.pdf").string());
  p.form->SetPdfPathChooser([&] { return path; });
  PageList(*p.form)->item(1)->setCheckState(Qt::Checked);
  PageList(*p.form)->item(2)->setCheckState(Qt::Checked);
  p.form->SavePdf();
  ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
  int pages = PdfPages(path);
  if (pages >= 0) {
    EXPECT_EQ(pages, 2);
  }

  std::filesystem::remove(path.toStdString());
  p.form->CheckAll(false);
  p.form->SavePdf();
  ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
  pages = PdfPages(path);
  if (pages >= 0) {
    EXPECT_EQ(pages, 3);
  }

  // A cancelled file dialog writes nothing.
  std::filesystem::remove(path.toStdString());
  p.form->SetPdfPathChooser([] { return QString(); });
  p.form->SavePdf();
  EXPECT_FALSE(std::filesystem::exists(path.toStdString()));
}

TEST(AllPrintForm, GeometryIsRestoredAndSavedAndPaperResetOnClose) {
  Preview p;
  EXPECT_EQ(p.form->size(), QSize(630, 450));
  EXPECT_EQ(p.form->pos(), QPoint(10, 10));
  auto ring = MakePrintPreview(nullptr, *p.day, PrintLayout::Ring, PrintScope::AllVenues,
                               BlockOrder::Columns);
  EXPECT_EQ(ring->Prev().Printer().Orientation, 2);
  ring->show();
  ring->setGeometry(40, 60, 700, 500);
  ring->close();
  EXPECT_EQ(ring->Prev().Printer().Orientation, 1);
  SettingsFile settings;
  EXPECT_EQ(settings.ReadInteger("Printlocate", "width", 0), ring->width());
  EXPECT_EQ(settings.ReadInteger("Printlocate", "height", 0), ring->height());
  EXPECT_EQ(settings.ReadInteger("Printlocate", "left", 0), ring->x());
  EXPECT_EQ(settings.ReadInteger("Printlocate", "top", 0), ring->y());
  EXPECT_EQ(settings.ReadInteger("Printlocate", "width", 0), 700);
}

TEST(AllPrintForm, PreviewRendersThePaperAndThePage) {
  Preview p;
  p.form->show();
  QImage image = PreviewControl(*p.form)->grab().toImage();
  image.save("/tmp/preview.png");
  p.form->grab().save("/tmp/preview_form.png");
  QRect area = PreviewControl(*p.form)->PrintableRect();
  // Something other than white is drawn inside the printable area.
  int dark = 0;
  for (int y = area.top() + 1; y < area.bottom(); y += 2)
    for (int x = area.left() + 1; x < area.right(); x += 2)
      if (qGray(image.pixel(x, y)) < 128) ++dark;
  EXPECT_GT(dark, 100);
  EXPECT_EQ(PreviewControl(*p.form)->PaperRect().topLeft(), QPoint(10, 10));
}

}  // namespace
}  // namespace sorvix
