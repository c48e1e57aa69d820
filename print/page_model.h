// TPrevX: the page model behind the print preview.  The print commands draw
// into the open page through a small drawing interface whose coordinates are
// in the map mode's unit (tenths of a millimetre or millimetres) on the
// paper; each page is recorded once as a display list of text, line and
// rectangle operations in printer dots, carrying the pen, brush and font in
// force when the operation was drawn.  The preview and the printer both
// replay the same recording.
//
// Plain C++: the printer is described by PrinterInfo, so the model can be
// composed, tested and exported without a window system.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codes/cp932_text.h"
#include "common/error.h"

namespace sorvix {

// A colour as 0xRRGGBB.
using PageColor = uint32_t;

enum class PenStyle { Solid, Dot, Clear };
enum class BrushStyle { Solid, Clear };

struct PagePen {
  PageColor Color = 0x000000;
  int Width = 1;  // printer dots
  PenStyle Style = PenStyle::Solid;
  friend bool operator==(const PagePen&, const PagePen&) = default;
};

struct PageBrush {
  PageColor Color = 0xFFFFFF;
  BrushStyle Style = BrushStyle::Solid;
  friend bool operator==(const PageBrush&, const PageBrush&) = default;
};

struct PageFont {
  Cp932Text Name;
  int Size = 9;  // points
  bool Bold = false;
  bool Underline = false;
  PageColor Color = 0x000000;
  friend bool operator==(const PageFont&, const PageFont&) = default;
};

// The drawing state of the open page; the layouts set it directly.
struct PageCanvas {
  PagePen Pen;
  PageBrush Brush;
  PageFont Font;
};

enum class PageOpKind { Text, Line, Rectangle };

// One recorded operation, in printer dots from the printable area's origin.
// Text: (X1, Y1) is the top-left corner of the text.  Line: from (X1, Y1) to
// (X2, Y2).  Rectangle: corners (X1, Y1) and (X2, Y2), outlined with the pen
// and filled with the brush.
struct PageOp {
  PageOpKind Kind = PageOpKind::Text;
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  Cp932Text Text;
  PagePen Pen;
  PageBrush Brush;
  PageFont Font;
};

struct RecordedPage {
  int Width = 0;    // printable width, printer dots
  int Height = 0;   // printable height, printer dots
  int FontDpi = 0;  // the font resolution the page was recorded with
  std::vector<PageOp> Ops;
};

// The printer the pages are recorded for.  Sizes in printer dots, for the
// paper in its current orientation.
struct PrinterInfo {
  bool Installed = true;
  int DpiX = 600;
  int DpiY = 600;
  int PaperWidth = 4961;  // A4 portrait at 600 dpi
  int PaperHeight = 7016;
  int OffsetX = 0;  // physical offset of the printable area
  int OffsetY = 0;
  int PrintableWidth = 4961;
  int PrintableHeight = 7016;
  int PaperSize = 9;    // 9 = A4
  int Orientation = 1;  // 1 portrait, 2 landscape
};

enum class TPrevMapModes { pmmHi, pmmLo };

class TPrevX {
 public:
  explicit TPrevX(PrinterInfo printer = {}, int screenDpi = 96);

  // Composition.
  void BeginPages();
  void AddPage();
  void EndPages();
  PageCanvas& Canvas() { return canvas_; }
  bool PageOpen() const { return open_; }

  // Drawing, in the map mode's unit.  The layouts cut and pad `text` byte
  // by byte before.
  void TextAt(int x, int y, Cp932View text);
  void MoveToAt(int x, int y);
  void LineToAt(int x, int y);
  void RectangleAt(int x1, int y1, int x2, int y2);

  // Conversions to printer dots.
  int ToDeviceX(int x) const;
  int ToDeviceY(int y) const;
  // A pen width given in tenths of a screen pixel, in printer dots (≥ 1).
  int ToDeviceWidth(int width) const;

  // Paper size code (9 = A4) and orientation (1 portrait, 2 landscape).
  void SetPaper(int paperSize, int orientation);

  // Preview and print range.
  void ShowPage(int page);
  void SetPrintFrom(int page);
  void SetPrintTo(int page);
  void SetZoomScale(int percent);
  // The 1-based pages the next print job prints: print-from up to
  // min(page count, print-to).  Throws Error (kind NoPrinter)
  // without a printer.
  std::vector<int> PagesToPrint() const;

  const std::vector<RecordedPage>& Pages() const { return pages_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int ShownPage() const { return shownPage_; }
  int PrintFrom() const { return printFrom_; }
  int PrintTo() const { return printTo_; }
  int ZoomScale() const { return zoomScale_; }
  const PrinterInfo& Printer() const { return printer_; }

  Cp932Text Title;
  int MarginLeft = 0;
  int MarginTop = 0;
  TPrevMapModes MapMode = TPrevMapModes::pmmHi;

 private:
  void RequirePrinter() const;
  void NewPage();
  RecordedPage& Current();

  PrinterInfo printer_;
  int screenDpi_;
  std::vector<RecordedPage> pages_;
  PageCanvas canvas_;
  bool open_ = false;
  int penX_ = 0, penY_ = 0;  // printer dots
  int shownPage_ = 1;
  int printFrom_ = 1;
  int printTo_ = 9999;
  int zoomScale_ = 25;
};

// The printer of the PDF export: A4 at `dpi`, the printable area the whole
// sheet, in the given orientation (1 portrait, 2 landscape).
PrinterInfo PdfPrinter(int dpi, int orientation);

}  // namespace sorvix
