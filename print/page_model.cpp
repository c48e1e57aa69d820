#include "print/page_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "codes/cp932.h"
#include "common/error.h"

namespace sorvix {

namespace {

int RoundToInt(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

TPrevX::TPrevX(PrinterInfo printer, int screenDpi) : printer_(printer), screenDpi_(screenDpi) {}

void TPrevX::RequirePrinter() const {
  if (!printer_.Installed) throw Error("プリンタが登録されていません", Error::Kind::NoPrinter);
}

void TPrevX::NewPage() {
  RecordedPage page;
  page.Width = printer_.PrintableWidth;
  page.Height = printer_.PrintableHeight;
  page.FontDpi = printer_.DpiY;
  pages_.push_back(std::move(page));
  open_ = true;
  penX_ = penY_ = 0;
}

RecordedPage& TPrevX::Current() {
  if (!open_ || pages_.empty())
    throw Error("描画するページが開かれていません", Error::Kind::NoPrinter);
  return pages_.back();
}

void TPrevX::BeginPages() {
  RequirePrinter();
  pages_.clear();
  NewPage();
  shownPage_ = 1;
  printFrom_ = 1;
  printTo_ = 9999;
}

void TPrevX::AddPage() {
  RequirePrinter();
  open_ = false;
  NewPage();
}

void TPrevX::EndPages() {
  open_ = false;
}

void TPrevX::TextAt(int x, int y, Cp932View text) {
  PageOp op;
  op.Kind = PageOpKind::Text;
  op.X1 = ToDeviceX(x);
  op.Y1 = ToDeviceY(y);
  op.Text = Cp932Text(text);
  op.Pen = canvas_.Pen;
  op.Brush = canvas_.Brush;
  op.Font = canvas_.Font;
  Current().Ops.push_back(std::move(op));
}

void TPrevX::MoveToAt(int x, int y) {
  penX_ = ToDeviceX(x);
  penY_ = ToDeviceY(y);
}

void TPrevX::LineToAt(int x, int y) {
  PageOp op;
  op.Kind = PageOpKind::Line;
  op.X1 = penX_;
  op.Y1 = penY_;
  op.X2 = ToDeviceX(x);
  op.Y2 = ToDeviceY(y);
  op.Pen = canvas_.Pen;
  Current().Ops.push_back(op);
  penX_ = op.X2;
  penY_ = op.Y2;
}

void TPrevX::RectangleAt(int x1, int y1, int x2, int y2) {
  PageOp op;
  op.Kind = PageOpKind::Rectangle;
  op.X1 = ToDeviceX(x1);
  op.Y1 = ToDeviceY(y1);
  op.X2 = ToDeviceX(x2);
  op.Y2 = ToDeviceY(y2);
  op.Pen = canvas_.Pen;
  op.Brush = canvas_.Brush;
  Current().Ops.push_back(op);
}

int TPrevX::ToDeviceX(int x) const {
  double perInch = MapMode == TPrevMapModes::pmmHi ? 254.0 : 25.4;
  return RoundToInt((x + MarginLeft) * static_cast<double>(printer_.DpiX) / perInch);
}

int TPrevX::ToDeviceY(int y) const {
  double perInch = MapMode == TPrevMapModes::pmmHi ? 254.0 : 25.4;
  return RoundToInt((y + MarginTop) * static_cast<double>(printer_.DpiY) / perInch);
}

int TPrevX::ToDeviceWidth(int width) const {
  int dots = RoundToInt(width * static_cast<double>(printer_.DpiY) / (screenDpi_ * 10.0));
  return std::max(dots, 1);
}

void TPrevX::SetPaper(int paperSize, int orientation) {
  RequirePrinter();
  printer_.PaperSize = paperSize;
  bool landscape = orientation == 2;
  bool isLandscape = printer_.PaperWidth > printer_.PaperHeight;
  if (landscape != isLandscape) {
    std::swap(printer_.PaperWidth, printer_.PaperHeight);
    std::swap(printer_.OffsetX, printer_.OffsetY);
    std::swap(printer_.PrintableWidth, printer_.PrintableHeight);
    std::swap(printer_.DpiX, printer_.DpiY);
  }
  printer_.Orientation = landscape ? 2 : 1;
}

void TPrevX::ShowPage(int page) {
  if (page >= 1 && page <= PageCount() && page != shownPage_) shownPage_ = page;
}

void TPrevX::SetPrintFrom(int page) {
  if (page >= 1 && page <= PageCount()) printFrom_ = page;
}

void TPrevX::SetPrintTo(int page) {
  if (page > 0) printTo_ = page;
}

void TPrevX::SetZoomScale(int percent) {
  if (percent >= 25 && percent <= 200) zoomScale_ = percent;
}

std::vector<int> TPrevX::PagesToPrint() const {
  RequirePrinter();
  std::vector<int> out;
  for (int p = printFrom_; p <= std::min(PageCount(), printTo_); ++p) out.push_back(p);
  return out;
}

PrinterInfo PdfPrinter(int dpi, int orientation) {
  PrinterInfo p;
  p.DpiX = p.DpiY = dpi;
  int shortSide = RoundToInt(210.0 / 25.4 * dpi);
  int longSide = RoundToInt(297.0 / 25.4 * dpi);
  bool landscape = orientation == 2;
  p.PaperWidth = p.PrintableWidth = landscape ? longSide : shortSide;
  p.PaperHeight = p.PrintableHeight = landscape ? shortSide : longSide;
  p.OffsetX = p.OffsetY = 0;
  p.Orientation = landscape ? 2 : 1;
  return p;
}

}  // namespace sorvix
