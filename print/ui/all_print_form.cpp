#include "print/ui/all_print_form.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <new>

#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "app/ui/qt_text.h"
#include "app/ui/save_dialog.h"
#include "app/ui/window_places.h"
#include "codes/cp932.h"
#include "print/batch_ring_print.h"
#include "print/ring_card_print.h"
#include "print/ui/page_replay.h"
#include "print/ui/pdf_export.h"
#include "store/race_day.h"

namespace sorvix {

namespace {

constexpr int kPdfResolution = 600;
constexpr int kZoomItems = 4;  // 25, 50, 75, 100 %

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

// The page measures of a printer for A4 portrait, in its device pixels.
PrinterInfo InfoOf(QPrinter& printer) {
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(false);
  PrinterInfo info;
  info.DpiX = info.DpiY = printer.resolution() > 0 ? printer.resolution() : kPdfResolution;
  QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  QRectF page = printer.pageRect(QPrinter::DevicePixel);
  if (paper.width() <= 0 || paper.height() <= 0) return PdfPrinter(kPdfResolution, 1);
  info.PaperWidth = Round(paper.width());
  info.PaperHeight = Round(paper.height());
  info.OffsetX = Round(page.x());
  info.OffsetY = Round(page.y());
  info.PrintableWidth = Round(page.width());
  info.PrintableHeight = Round(page.height());
  return info;
}

int ScreenDpi(const QWidget* widget) {
  int dpi = widget ? widget->logicalDpiY() : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

// ---------------------------------------------------------------- TPrevXView

TPrevXView::TPrevXView(TPrevX& prev, QWidget* parent) : QWidget(parent), prev_(prev) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  Refresh();
}

double TPrevXView::Factor() const {
  const PrinterInfo& p = prev_.Printer();
  return p.DpiY > 0 ? ScreenDpi(this) / static_cast<double>(p.DpiY) * prev_.ZoomScale() / 100.0
                    : 0.0;
}

QRect TPrevXView::PaperRect() const {
  const PrinterInfo& p = prev_.Printer();
  double f = Factor();
  return QRect(10, 10, Round(p.PaperWidth * f), Round(p.PaperHeight * f));
}

QRect TPrevXView::PrintableRect() const {
  const PrinterInfo& p = prev_.Printer();
  double f = Factor();
  return QRect(Round(p.OffsetX * f) + 10, Round(p.OffsetY * f) + 10, Round(p.PrintableWidth * f),
               Round(p.PrintableHeight * f));
}

void TPrevXView::Refresh() {
  QRect paper = PaperRect();
  setFixedSize(paper.width() + 20, paper.height() + 20);
  update();
}

void TPrevXView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  QRect paper = PaperRect();
  QRect area = PrintableRect();
  painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  painter.setBrush(Qt::white);
  painter.drawRect(paper);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  painter.drawRect(area);
  int shown = prev_.ShownPage();
  if (prev_.PageCount() == 0 || shown < 1 || shown > prev_.PageCount()) return;
  const RecordedPage& page = prev_.Pages()[static_cast<size_t>(shown - 1)];
  if (page.Width <= 0 || page.Height <= 0) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setClipRect(area);
  painter.translate(area.topLeft());
  painter.scale(area.width() / static_cast<double>(page.Width),
                area.height() / static_cast<double>(page.Height));
  ReplayPage(painter, page);
  painter.restore();
}

// ------------------------------------------------------------- TAllPrintForm

TAllPrintForm::TAllPrintForm(Composer compose, QWidget* parent)
    : QDialog(parent), compose_(std::move(compose)) {
  setWindowTitle(U("全買い目印刷"));
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setOutputFormat(QPrinter::PdfFormat);
  prev_ = std::make_unique<TPrevX>(PdfPrinter(kPdfResolution, 1), ScreenDpi(this));
  BuildControls();
  RestoreSettings();
  Compose();
}

TAllPrintForm::~TAllPrintForm() = default;

void TAllPrintForm::BuildPageChoice(QVBoxLayout* side) {
  auto* choice = new QGroupBox(U("選択指定"), this);
  auto* choiceLayout = new QHBoxLayout(choice);
  auto* all = new QPushButton(U("全選択"), choice);
  auto* none = new QPushButton(U("全ｸﾘｱ"), choice);
  all->setAutoDefault(false);
  none->setAutoDefault(false);
  choiceLayout->addWidget(all);
  choiceLayout->addWidget(none);
  connect(all, &QPushButton::clicked, this, [this] { CheckAll(true); });
  connect(none, &QPushButton::clicked, this, [this] { CheckAll(false); });
  side->addWidget(choice);

  pageList_ = new QListWidget(this);
  pageList_->setObjectName(QStringLiteral("PageList"));
  side->addWidget(pageList_, 1);
}

void TAllPrintForm::BuildControls() {
  auto* outer = new QVBoxLayout(this);
  auto* root = new QHBoxLayout;
  outer->addLayout(root, 1);
  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("StatusLine"));
  status_->setSizeGripEnabled(false);
  outer->addWidget(status_);

  auto* side = new QVBoxLayout;
  root->addLayout(side);

  side->addWidget(new QLabel(U("ﾍﾟｰｼﾞ選択"), this));
  stepper_ = new QSpinBox(this);
  stepper_->setObjectName(QStringLiteral("PageStepper"));
  stepper_->setRange(1, 1);
  side->addWidget(stepper_);
  connect(stepper_, &QSpinBox::valueChanged, this, [this](int page) {
    prev_->ShowPage(page);
    view_->update();
  });

  plainPrint_ = new QPushButton(U("印刷(&P)"), this);
  plainPrint_->setObjectName(QStringLiteral("PlainPrintButton"));
  auto* shownPrint = new QPushButton(U("表示ﾍﾟｰｼﾞ印刷(&P)"), this);
  auto* chosenPrint = new QPushButton(U("指定ﾍﾟｰｼﾞ印刷(&P)"), this);
  auto* setup = new QPushButton(U("ﾌﾟﾘﾝﾀ設定(&S)"), this);
  auto* pdf = new QPushButton(U("PDF保存"), this);
  auto* close = new QPushButton(U("閉じる"), this);
  for (QPushButton* b : {plainPrint_, shownPrint, chosenPrint, setup, pdf, close}) {
    b->setAutoDefault(false);
    side->addWidget(b);
  }
  connect(plainPrint_, &QPushButton::clicked, this, [this] { PrintShownPage(); });
  connect(shownPrint, &QPushButton::clicked, this, [this] { PrintShownPage(); });
  connect(chosenPrint, &QPushButton::clicked, this, [this] { PrintChosenPages(); });
  connect(setup, &QPushButton::clicked, this, [this] { SetupPrinter(); });
  connect(pdf, &QPushButton::clicked, this, [this] { SavePdf(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  printers_ = new QComboBox(this);
  printers_->addItem(U("PDF"));
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
    printers_->addItem(info.printerName());
  side->addWidget(printers_);
  connect(printers_, &QComboBox::activated, this, [this](int index) { ChoosePrinter(index); });

  auto* zoomBox = new QGroupBox(U("倍率"), this);
  auto* zoomLayout = new QVBoxLayout(zoomBox);
  zoomGroup_ = new QButtonGroup(this);
  zoomGroup_->setObjectName(QStringLiteral("ZoomGroup"));
  for (int i = 0; i < kZoomItems; ++i) {
    auto* radio = new QRadioButton(QString::number(25 * (i + 1)) + "%", zoomBox);
    zoomGroup_->addButton(radio, i);
    zoomLayout->addWidget(radio);
  }
  connect(zoomGroup_, &QButtonGroup::idClicked, this, [this](int id) { SetZoomIndex(id); });
  side->addWidget(zoomBox);

  BuildPageChoice(side);

  scroll_ = new QScrollArea(this);
  view_ = new TPrevXView(*prev_);
  view_->setObjectName(QStringLiteral("Preview"));
  scroll_->setWidget(view_);
  scroll_->setBackgroundRole(QPalette::Dark);
  root->addWidget(scroll_, 1);
}

void TAllPrintForm::RestoreSettings() {
  SettingsFile settings;
  int top = settings.ReadInteger("Printlocate", "top", 10);
  int left = settings.ReadInteger("Printlocate", "left", 10);
  int width = settings.ReadInteger("Printlocate", "width", 630);
  int height = settings.ReadInteger("Printlocate", "height", 450);
  RestorePlace(this, left, top, width, height, QSize(630, 450));
  int ratio = settings.ReadInteger("PrintZoom", "ratio", 1);
  if (ratio < 0 || ratio >= kZoomItems) ratio = 1;
  zoomGroup_->button(ratio)->setChecked(true);
  prev_->SetZoomScale(25 * (ratio + 1));
}

void TAllPrintForm::SaveGeometry() {
  SaveWindowPlace(this, "Printlocate");
}

void TAllPrintForm::SetZoomIndex(int index) {
  if (index < 0 || index >= kZoomItems) return;
  if (zoomGroup_->checkedId() != index) zoomGroup_->button(index)->setChecked(true);
  prev_->SetZoomScale(25 * (index + 1));
  SaveWindowState([index] { SettingsFile().WriteInteger("PrintZoom", "ratio", index); });
  view_->Refresh();
}

void TAllPrintForm::Compose() {
  int zoom = prev_->ZoomScale();
  PrinterInfo info = PdfChosen() ? PdfPrinter(kPdfResolution, 1) : InfoOf(*printer_);
  auto prev = std::make_unique<TPrevX>(info, ScreenDpi(this));
  prev->MarginTop = 50;  // 5 mm
  prev->SetZoomScale(zoom);
  result_ = compose_ ? compose_(*prev) : PrintResult{};
  prev->Title = result_.Caption;
  // The view keeps a reference to the model: swap its contents in place.
  *prev_ = std::move(*prev);
  if (!result_.Caption.empty()) setWindowTitle(Q(result_.Caption));

  pageList_->clear();
  for (const Cp932Text& label : result_.Labels) {
    auto* item = new QListWidgetItem(Q(label), pageList_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  QSignalBlocker block(stepper_);
  stepper_->setRange(1, std::max(1, prev_->PageCount()));
  stepper_->setValue(1);
  stepper_->setVisible(true);
  plainPrint_->setVisible(false);
  view_->Refresh();
}

bool TAllPrintForm::PdfChosen() const {
  return printers_ == nullptr || printers_->currentIndex() <= 0;
}

void TAllPrintForm::ChoosePrinter(int index) {
  if (index <= 0) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
  } else {
    QPrinterInfo info = QPrinterInfo::printerInfo(printers_->itemText(index));
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  int shown = stepper_->value();
  Compose();
  stepper_->setValue(std::min(shown, stepper_->maximum()));
}

std::vector<int> TAllPrintForm::CheckedPages() const {
  std::vector<int> pages;
  for (int i = 0; i < pageList_->count(); ++i)
    if (pageList_->item(i)->checkState() == Qt::Checked) pages.push_back(i + 1);
  return pages;
}

void TAllPrintForm::CheckAll(bool checked) {
  for (int i = 0; i < pageList_->count(); ++i)
    pageList_->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool TAllPrintForm::FilePrinter() const {
  return printer_->outputFormat() == QPrinter::PdfFormat;
}

QString TAllPrintForm::AskPdfPath(const QString& title) {
  if (pdfPath_) return WithExtension(pdfPath_(), PdfFiles());
  return AskSavePath(this, title, PdfFiles(), Q(prev_->Title).simplified().remove(' '));
}

void TAllPrintForm::PrintShownPage() {
  if (prev_->PageCount() == 0) return;
  bool confirmed = false;
  if (printDialog_) {
    confirmed = printDialog_(*printer_);
  } else {
    QPrintDialog dialog(printer_.get(), this);
    confirmed = dialog.exec() == QDialog::Accepted;
  }
  if (!confirmed) return;
  int page = stepper_->value();
  prev_->SetPrintFrom(page);
  prev_->SetPrintTo(page);
  // The print dialog names the file when it prints to one.
  PrintJob(prev_->PagesToPrint(), FilePrinter() ? printer_->outputFileName() : QString());
}

void TAllPrintForm::PrintChosenPages() {
  std::vector<int> checked = CheckedPages();
  if (checked.empty()) return;
  if (FilePrinter()) {
    // Jobs of their own would each need a file: the checked pages go into
    // one, in list order.
    PrintJob(checked);
    return;
  }
  for (int page : checked) {
    prev_->SetPrintFrom(page);
    prev_->SetPrintTo(page);
    if (!PrintJob(prev_->PagesToPrint())) return;
  }
}

void TAllPrintForm::SetupPrinter() {
  QPageSetupDialog dialog(printer_.get(), this);
  dialog.exec();
}

bool TAllPrintForm::PrintJob(const std::vector<int>& pages, QString file) {
  if (pages.empty()) return false;
  const TPrevX& prev = *prev_;
  const PrinterInfo& info = prev.Printer();
  QPrinter& printer = *printer_;
  bool toFile = FilePrinter();
  std::unique_ptr<PdfFileWrite> pdf;
  if (toFile) {
    if (file.isEmpty()) file = AskPdfPath(U("PDF ファイルに印刷"));
    if (file.isEmpty()) return false;
    pdf = std::make_unique<PdfFileWrite>(file.toStdString());
    try {
      pdf->Create();
    } catch (const Error& e) {
      ShowError(this, e, {}, MessageKind::Warning);
      return false;
    }
    printer.setOutputFileName(QString::fromStdString(pdf->TempPath().string()));
  }
  // Every print asks for its file again.
  auto forgetFile = [&] {
    if (!toFile) return;
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::PdfFormat);
  };
  printer.setFullPage(true);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(info.Orientation == 2 ? QPageLayout::Landscape
                                                   : QPageLayout::Portrait);
  printer.setDocName(Q(prev.Title));
  QtWarningsMuted muted;
  QPainter painter;
  if (!painter.begin(&printer)) {
    forgetFile();
    std::string what = toFile ? "PDF ファイル " + file.toStdString()
                              : "プリンタ " + printer.printerName().toStdString();
    ShowError(this, Error(what + " に印刷を開始できませんでした。"), {}, MessageKind::Warning);
    return false;
  }
  QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  double sx = info.PaperWidth > 0 ? paper.width() / info.PaperWidth : 1.0;
  double sy = info.PaperHeight > 0 ? paper.height() / info.PaperHeight : 1.0;
  bool first = true;
  for (int p : pages) {
    if (p < 1 || p > prev.PageCount()) continue;
    if (!first) printer.newPage();
    first = false;
    painter.save();
    painter.translate(info.OffsetX * sx, info.OffsetY * sy);
    painter.scale(sx, sy);
    ReplayPage(painter, prev.Pages()[static_cast<size_t>(p - 1)]);
    painter.restore();
  }
  bool ended = painter.end();
  forgetFile();
  if (!toFile) {
    if (!ended) {
      ShowError(this,
                Error("プリンタ " + printer.printerName().toStdString() +
                      " への印刷が完了しませんでした。"),
                {}, MessageKind::Warning);
    }
    return ended;
  }
  try {
    pdf->CommitWritten();
  } catch (const Error& e) {
    ShowError(this, e, {}, MessageKind::Warning);
    return false;
  }
  return true;
}

void TAllPrintForm::SavePdf() {
  if (prev_->PageCount() == 0) return;
  std::vector<int> pages = CheckedPages();
  if (pages.empty())
    for (int p = 1; p <= prev_->PageCount(); ++p) pages.push_back(p);
  QString path = AskPdfPath(U("PDF保存"));
  if (path.isEmpty()) return;
  // The file always holds A4 at the PDF resolution, whatever the printer.
  TPrevX pdf(PdfPrinter(kPdfResolution, prev_->Printer().Orientation), ScreenDpi(this));
  pdf.MarginTop = 50;
  const TPrevX* source = prev_.get();
  if (!PdfChosen()) {
    compose_(pdf);
    pdf.Title = prev_->Title;
    source = &pdf;
  }
  try {
    WritePagesPdf(*source, pages, path.toStdString());
  } catch (const std::exception& e) {
    status_->showMessage(U("PDF を保存できませんでした"));
    ShowError(this, e, {}, MessageKind::Warning);
    return;
  }
  RememberSaveFolder(PdfFiles(), path);
  status_->showMessage(U("PDF を保存しました（%1 ページ）: %2").arg(pages.size()).arg(path));
}

void TAllPrintForm::closeEvent(QCloseEvent* event) {
  SaveGeometry();
  geometrySaved_ = true;
  QDialog::closeEvent(event);
}

void TAllPrintForm::done(int result) {
  if (!geometrySaved_) SaveGeometry();
  geometrySaved_ = true;
  // Back to A4 portrait for whatever prints next.
  try {
    prev_->SetPaper(9, 1);
  } catch (const std::exception&) {
  }
  printer_->setPageSize(QPageSize(QPageSize::A4));
  printer_->setPageOrientation(QPageLayout::Portrait);
  QDialog::done(result);
}

// ------------------------------------------------------------ print command

std::unique_ptr<TAllPrintForm> MakePrintPreview(QWidget* parent, const RaceDay& day,
                                                PrintLayout layout, PrintScope scope,
                                                BlockOrder order) {
  if (day.RaceListRows <= 0) {
    ShowInformation(parent, NoRaceDataMessage());
    return nullptr;
  }
  TAllPrintForm::Composer compose = [&day, layout, scope, order](TPrevX& prev) {
    switch (layout) {
      case PrintLayout::Ring:
        return PrintRingCard(day, scope, prev);
      case PrintLayout::Batch:
        return PrintBatchRing(day, scope, prev);
      case PrintLayout::Continuous:
        break;
    }
    return PrintContinuousCard(day, scope, order, prev);
  };
  try {
    auto form = std::make_unique<TAllPrintForm>(compose, parent);
    if (!form->Result().Printed) {
      ShowInformation(parent, form->Result().Message);
      return nullptr;
    }
    return form;
  } catch (const Error& e) {
    // "プリンタが登録されていません" as it is; any other failure after what failed.
    ShowError(parent, e,
              e.kind() == Error::Kind::NoPrinter ? QString()
                                                 : QStringLiteral("印刷ページを作れませんでした: "),
              MessageKind::Warning);
  } catch (const std::bad_alloc&) {
    ShowWarning(parent, Cp932("メモリが足りないため、印刷ページを作れませんでした。"));
  } catch (const std::exception& e) {
    ShowError(parent, e, QStringLiteral("印刷ページを作れませんでした: "), MessageKind::Warning);
  }
  return nullptr;
}

void ShowPrintPreview(QWidget* parent, const RaceDay& day, PrintLayout layout, PrintScope scope,
                      BlockOrder order) {
  std::unique_ptr<TAllPrintForm> form = MakePrintPreview(parent, day, layout, scope, order);
  if (form) form->exec();
}

}  // namespace sorvix
