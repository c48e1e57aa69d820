#include "print/ui/all_print_form.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <filesystem>
#include <memory>

#include "analysis/ring_layout.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/race_day.h"
#include "support/temp_home.h"

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

// A preview of the continuous race card over 36 races: three pages.
struct Preview {
  test::TempHome home;
  std::unique_ptr<RaceDay> day = DayOfRaces(36);
  std::unique_ptr<TAllPrintForm> form = MakePrintPreview(
      nullptr, *day, PrintLayout::Continuous, PrintScope::AllVenues, BlockOrder::Columns);
  std::vector<std::vector<int>> jobs;
  Preview() {
    form->SetJobSink(
        [this](const TPrevX&, const std::vector<int>& pages) { jobs.push_back(pages); });
  }
};

TEST(AllPrintForm, ComposesTheLayoutWithItsCaptionAndPageLabels) {
  Preview p;
  ASSERT_NE(p.form, nullptr);
  EXPECT_EQ(p.form->windowTitle(), QString::fromUtf8("連続出馬表印刷[全開催場]"));
  EXPECT_EQ(p.form->Prev().PageCount(), 3);
  EXPECT_EQ(p.form->Prev().MarginTop, 50);
  ASSERT_EQ(p.form->PageList()->count(), 3);
  EXPECT_EQ(p.form->PageList()->item(2)->text(), QString::fromUtf8("3ﾍﾟｰｼﾞ目"));
  EXPECT_EQ(p.form->PageStepper()->minimum(), 1);
  EXPECT_EQ(p.form->PageStepper()->maximum(), 3);
  EXPECT_EQ(p.form->PageStepper()->value(), 1);
  EXPECT_TRUE(p.form->PlainPrintButton()->isHidden());
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

TEST(AllPrintForm, ZoomChoiceIsBoundedAndSaved) {
  Preview p;
  // Default item 1: 50 %.
  EXPECT_EQ(p.form->Prev().ZoomScale(), 50);
  EXPECT_EQ(p.form->ZoomGroup()->checkedId(), 1);
  QSize half = p.form->Preview()->size();

  p.form->ZoomGroup()->button(3)->click();
  EXPECT_EQ(p.form->Prev().ZoomScale(), 100);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 3);
  // The paper doubles (within rounding) and keeps the 10-pixel border.
  EXPECT_NEAR(p.form->Preview()->width() - 20, 2 * (half.width() - 20), 2);

  p.form->ZoomGroup()->button(0)->click();
  EXPECT_EQ(p.form->Prev().ZoomScale(), 25);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 0);

  // Out of range items are refused; the scale and the saved item stay.
  p.form->SetZoomIndex(-1);
  p.form->SetZoomIndex(4);
  EXPECT_EQ(p.form->Prev().ZoomScale(), 25);
  EXPECT_EQ(SettingsFile().ReadInteger("PrintZoom", "ratio", -1), 0);
  EXPECT_EQ(p.form->ZoomGroup()->buttons().size(), 4);

  // The next window opens with the saved item.
  auto again = MakePrintPreview(nullptr, *p.day, PrintLayout::Ring, PrintScope::AllVenues,
                                BlockOrder::Columns);
  EXPECT_EQ(again->Prev().ZoomScale(), 25);
  EXPECT_EQ(again->ZoomGroup()->checkedId(), 0);
}

TEST(AllPrintForm, StepperShowsPagesWithinTheRange) {
  Preview p;
  p.form->PageStepper()->setValue(3);
  EXPECT_EQ(p.form->Prev().ShownPage(), 3);
  p.form->PageStepper()->setValue(9);  // clamped by the stepper
  EXPECT_EQ(p.form->Prev().ShownPage(), 3);
  p.form->PageStepper()->setValue(2);
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

TEST(AllPrintForm, ChosenPagesPrintOneJobPerCheckedPage) {
  Preview p;
  p.form->PrintChosenPages();  // nothing checked: nothing printed
  EXPECT_TRUE(p.jobs.empty());
  p.form->PageList()->item(0)->setCheckState(Qt::Checked);
  p.form->PageList()->item(2)->setCheckState(Qt::Checked);
  p.form->PrintChosenPages();
  EXPECT_EQ(p.jobs, (std::vector<std::vector<int>>{{1}, {3}}));
}

TEST(AllPrintForm, ShownPagePrintAsksTheDialogThenPrintsThatPage) {
  Preview p;
  bool confirm = false;
  int asked = 0;
  p.form->SetPrintDialog([&](QPrinter&) {
    ++asked;
    return confirm;
  });
  p.form->PageStepper()->setValue(2);
  p.form->PrintShownPage();  // cancelled
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(p.jobs.empty());
  confirm = true;
  p.form->PrintShownPage();
  EXPECT_EQ(p.jobs, (std::vector<std::vector<int>>{{2}}));
}

int PdfPages(const QString& path) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) return -1;
  QProcess proc;
  proc.start("pdfinfo", {path});
  proc.waitForFinished();
  for (const QString& line : QString::fromUtf8(proc.readAllStandardOutput()).split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return 0;
}

TEST(AllPrintForm, PdfSaveWritesTheCheckedPagesOrAll) {
  Preview p;
  QString path = QString::fromStdString((p.home.path() / "card.pdf").string());
  p.form->SetPdfPathChooser([&] { return path; });
  p.form->PageList()->item(1)->setCheckState(Qt::Checked);
  p.form->PageList()->item(2)->setCheckState(Qt::Checked);
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
  QImage image = p.form->Preview()->grab().toImage();
  image.save("/tmp/preview.png");
  p.form->grab().save("/tmp/preview_form.png");
  QRect area = p.form->Preview()->PrintableRect();
  // Something other than white is drawn inside the printable area.
  int dark = 0;
  for (int y = area.top() + 1; y < area.bottom(); y += 2)
    for (int x = area.left() + 1; x < area.right(); x += 2)
      if (qGray(image.pixel(x, y)) < 128) ++dark;
  EXPECT_GT(dark, 100);
  EXPECT_EQ(p.form->Preview()->PaperRect().topLeft(), QPoint(10, 10));
}

}  // namespace
}  // namespace sorvix
