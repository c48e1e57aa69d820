#include "print/page_model.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"

namespace sorvix {
namespace {

PrinterInfo Printer600() {
  return PdfPrinter(600, 1);
}

TEST(PageModel, TextLandsAtMarginShiftedDevicePoint) {
  TPrevX prev(Printer600());
  prev.MarginTop = 50;
  prev.BeginPages();
  prev.Canvas().Font.Size = 11;
  prev.Canvas().Font.Bold = true;
  prev.TextAt(100, 30, Cp932("abc"));
  prev.EndPages();
  ASSERT_EQ(prev.PageCount(), 1);
  const PageOp& op = prev.Pages()[0].Ops.at(0);
  EXPECT_EQ(op.Kind, PageOpKind::Text);
  // 10 mm and 8 mm at 600 dpi.
  EXPECT_EQ(op.X1, 236);  // 100 × 600 / 254 = 236.2
  EXPECT_EQ(op.Y1, 189);  // 80 × 600 / 254 = 188.98
  EXPECT_EQ(op.Text.bytes(), "abc");
  EXPECT_EQ(op.Font.Size, 11);
  EXPECT_TRUE(op.Font.Bold);
  EXPECT_FALSE(prev.PageOpen());
}

TEST(PageModel, ConversionsFollowMapModeAndDpi) {
  PrinterInfo p = Printer600();
  p.DpiX = 300;
  TPrevX prev(p, 96);
  EXPECT_EQ(prev.ToDeviceX(254), 300);
  EXPECT_EQ(prev.ToDeviceY(254), 600);
  prev.MapMode = TPrevMapModes::pmmLo;
  prev.MarginLeft = 4;
  EXPECT_EQ(prev.ToDeviceX(21), 295);  // 25 mm at 300 dpi = 295.3
  // Pen widths: tenths of a screen pixel at 96 dpi, in 600-dpi dots, at least 1.
  EXPECT_EQ(prev.ToDeviceWidth(5), 3);  // 3.125
  EXPECT_EQ(prev.ToDeviceWidth(0), 1);
  EXPECT_EQ(prev.ToDeviceWidth(16), 10);
}

TEST(PageModel, PagesRecordStateAndLinesFollowThePen) {
  TPrevX prev(Printer600());
  prev.BeginPages();
  prev.Canvas().Pen.Width = 7;
  prev.Canvas().Brush = {0xFF0000, BrushStyle::Solid};
  prev.RectangleAt(0, 0, 254, 127);
  prev.AddPage();
  prev.Canvas().Pen.Style = PenStyle::Dot;
  prev.MoveToAt(0, 0);
  prev.LineToAt(254, 0);
  prev.LineToAt(254, 254);
  prev.EndPages();
  ASSERT_EQ(prev.PageCount(), 2);
  const PageOp& rect = prev.Pages()[0].Ops.at(0);
  EXPECT_EQ(rect.Kind, PageOpKind::Rectangle);
  EXPECT_EQ(rect.X2, 600);
  EXPECT_EQ(rect.Y2, 300);
  EXPECT_EQ(rect.Pen.Width, 7);
  EXPECT_EQ(rect.Brush.Color, 0xFF0000u);
  const auto& ops = prev.Pages()[1].Ops;
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[1].X1, 600);
  EXPECT_EQ(ops[1].Y1, 0);
  EXPECT_EQ(ops[1].Y2, 600);
  EXPECT_EQ(ops[1].Pen.Style, PenStyle::Dot);
  // Drawing after EndPages has no page to go to.
  EXPECT_THROW(prev.TextAt(0, 0, Cp932("x")), Error);
}

TEST(PageModel, BeginPagesStartsOverAndResetsTheRange) {
  TPrevX prev(Printer600());
  prev.BeginPages();
  prev.AddPage();
  prev.AddPage();
  prev.EndPages();
  prev.ShowPage(3);
  prev.SetPrintFrom(2);
  prev.SetPrintTo(2);
  EXPECT_EQ(prev.PagesToPrint(), std::vector<int>{2});
  prev.BeginPages();
  prev.EndPages();
  EXPECT_EQ(prev.PageCount(), 1);
  EXPECT_EQ(prev.ShownPage(), 1);
  EXPECT_EQ(prev.PrintFrom(), 1);
  EXPECT_EQ(prev.PrintTo(), 9999);
  EXPECT_EQ(prev.PagesToPrint(), std::vector<int>{1});
}

TEST(PageModel, RefusedRequestsChangeNothing) {
  TPrevX prev(Printer600());
  prev.BeginPages();
  prev.AddPage();
  prev.EndPages();
  for (int page : {0, 3, -1}) prev.ShowPage(page);
  EXPECT_EQ(prev.ShownPage(), 1);
  prev.ShowPage(2);
  EXPECT_EQ(prev.ShownPage(), 2);
  prev.SetPrintFrom(3);
  EXPECT_EQ(prev.PrintFrom(), 1);
  prev.SetPrintTo(0);
  EXPECT_EQ(prev.PrintTo(), 9999);
  prev.SetZoomScale(50);
  for (int zoom : {24, 201}) prev.SetZoomScale(zoom);
  EXPECT_EQ(prev.ZoomScale(), 50);
}

TEST(PageModel, NoPrinterFailsWithTheMessage) {
  PrinterInfo none;
  none.Installed = false;
  TPrevX prev(none);
  try {
    prev.BeginPages();
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "プリンタが登録されていません");
    EXPECT_EQ(e.kind(), Error::Kind::NoPrinter);
  }
  EXPECT_THROW(prev.SetPaper(9, 2), Error);
  EXPECT_THROW(prev.PagesToPrint(), Error);
}

TEST(PageModel, SetPaperTurnsThePageForLandscapeAndBack) {
  TPrevX prev(Printer600());
  prev.SetPaper(9, 2);
  EXPECT_EQ(prev.Printer().Orientation, 2);
  EXPECT_GT(prev.Printer().PrintableWidth, prev.Printer().PrintableHeight);
  prev.BeginPages();
  prev.EndPages();
  EXPECT_EQ(prev.Pages()[0].Width, 7016);
  prev.SetPaper(9, 1);
  EXPECT_EQ(prev.Printer().Orientation, 1);
  EXPECT_EQ(prev.Printer().PrintableWidth, 4961);
}

}  // namespace
}  // namespace sorvix
