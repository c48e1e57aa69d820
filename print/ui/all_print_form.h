// The print preview window (全買い目印刷): the recorded pages of one print
// command shown on a paper image, a page stepper, the zoom choice, a check
// list of the pages and the print buttons.  Preview, printer and PDF file all
// replay the same recording.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print/continuous_card_print.h"
#include "print/page_model.h"
#include "print/print_frame.h"

class QButtonGroup;
class QComboBox;
class QListWidget;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QVBoxLayout;

namespace sorvix {

class RaceDay;

// The preview control: the paper at the current zoom, its printable area
// outlined with dots, and the shown page stretched into that area.
class TPrevXView : public QWidget {
 public:
  explicit TPrevXView(TPrevX& prev, QWidget* parent = nullptr);

  // Resizes to the paper at the current zoom and repaints.
  void Refresh();

  // Paper and printable area in screen pixels, 10 pixels in from the
  // control's corner.
  QRect PaperRect() const;
  QRect PrintableRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double Factor() const;
  TPrevX& prev_;
};

// The three layouts a print command composes.
enum class PrintLayout { Continuous, Ring, Batch };

class TAllPrintForm : public QDialog {
  Q_OBJECT
 public:
  // Composes pages with `compose` into a page model for the chosen printer
  // (the built-in PDF printer at first) and shows them.  `compose` returns
  // the print command's result; it is run again when another printer is
  // chosen, so the recording always fits the printer's page.
  using Composer = std::function<PrintResult(TPrevX&)>;
  explicit TAllPrintForm(Composer compose, QWidget* parent = nullptr);
  ~TAllPrintForm() override;

  TPrevX& Prev() { return *prev_; }
  const PrintResult& Result() const { return result_; }

  // Button actions.
  void PrintShownPage();  // 表示ﾍﾟｰｼﾞ印刷: print dialog, then the shown page
  // 指定ﾍﾟｰｼﾞ印刷: one job per checked page on a printer; on the PDF printer
  // one file holding every checked page, its name asked once per print.
  void PrintChosenPages();
  void SetupPrinter();  // ﾌﾟﾘﾝﾀ設定
  void SavePdf();       // PDF保存: checked pages, or all when none is checked
  void CheckAll(bool checked);
  void SetZoomIndex(int index);  // 0..3 for 25, 50, 75, 100 %

  // Replaceable for tests: the print dialog (true to print) and the file
  // dialog that names a PDF file (empty to cancel).  The jobs themselves
  // always go to the chosen printer.
  void SetPrintDialog(std::function<bool(QPrinter&)> dialog) { printDialog_ = std::move(dialog); }
  void SetPdfPathChooser(std::function<QString()> chooser) { pdfPath_ = std::move(chooser); }

  // The checked pages of the list, 1-based, in list order.
  std::vector<int> CheckedPages() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  void BuildControls();
  // 選択指定 (全選択, 全ｸﾘｱ) and the list of pages to choose.
  void BuildPageChoice(QVBoxLayout* side);
  void RestoreSettings();
  void SaveGeometry();
  void Compose();
  void ChoosePrinter(int index);
  // One print job of `pages`; on the PDF printer into `file`, asked for
  // when empty.  False when nothing was printed.
  bool PrintJob(const std::vector<int>& pages, QString file = QString());
  bool FilePrinter() const;
  QString AskPdfPath(const QString& title);
  bool PdfChosen() const;

  Composer compose_;
  std::unique_ptr<TPrevX> prev_;
  std::unique_ptr<QPrinter> printer_;
  PrintResult result_;
  // The controls; the named ones (the comment) are found by that name.
  TPrevXView* view_ = nullptr;  // Preview
  QScrollArea* scroll_ = nullptr;
  QSpinBox* stepper_ = nullptr;        // PageStepper
  QButtonGroup* zoomGroup_ = nullptr;  // ZoomGroup
  QListWidget* pageList_ = nullptr;    // PageList
  QComboBox* printers_ = nullptr;
  QPushButton* plainPrint_ = nullptr;  // PlainPrintButton
  QStatusBar* status_ = nullptr;       // StatusLine
  std::function<bool(QPrinter&)> printDialog_;
  std::function<QString()> pdfPath_;
  bool geometrySaved_ = false;
};

// The preview of one print command over the loaded day, not yet shown.
// With an empty race list the information message is shown and nullptr
// returned.  The window composes from `day` again when another printer is
// chosen, so the day must outlive it.
std::unique_ptr<TAllPrintForm> MakePrintPreview(QWidget* parent, const RaceDay& day,
                                                PrintLayout layout, PrintScope scope,
                                                BlockOrder order);

// The print command: the preview of MakePrintPreview shown modally.
void ShowPrintPreview(QWidget* parent, const RaceDay& day, PrintLayout layout, PrintScope scope,
                      BlockOrder order);

}  // namespace sorvix
