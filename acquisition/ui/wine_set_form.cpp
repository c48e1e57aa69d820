#include "acquisition/ui/wine_set_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/wine_export.h"
#include "app/settings_file.h"
#include "app/ui/message_box.h"
#include "common/error.h"

namespace sorvix {
namespace {

QString Text(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace

TWineSetForm::TWineSetForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("JV-Link（Wine）の設定"));
  setObjectName(QStringLiteral("WineSetForm"));
  WineSetup setup = ReadWineSetup(SettingsFile());
  auto* layout = new QVBoxLayout(this);
  use_box_ = new QCheckBox(
      QStringLiteral(
          "JVデータ取得と結果情報の前に、Wine の JV-Link からフィードフォルダへ書き出す"),
      this);
  use_box_->setObjectName(QStringLiteral("WineUse"));
  use_box_->setChecked(setup.enabled);
  layout->addWidget(use_box_);

  auto* grid = new QGridLayout;
  prefix_edit_ = AddPathRow(grid, 0, QStringLiteral("Wine のプレフィックス"), "WinePrefix", true);
  program_edit_ = AddPathRow(grid, 1, QStringLiteral("Wine のプログラム"), "WineProgram", false);
  grid->addWidget(new QLabel(QStringLiteral("書き出しプログラム"), this), 2, 0);
  exporter_box_ = new QComboBox(this);
  exporter_box_->setObjectName(QStringLiteral("WineExporter"));
  grid->addWidget(exporter_box_, 2, 1, 1, 2);
  feed_edit_ = AddPathRow(grid, 3, QStringLiteral("フィードフォルダ"), "FeedFolder", true);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  check_label_ = new QLabel(this);
  check_label_->setObjectName(QStringLiteral("WineCheck"));
  check_label_->setWordWrap(true);
  check_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(check_label_);

  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TWineSetForm::OkBtnClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  prefix_edit_->setText(Text(setup.prefix));
  program_edit_->setText(QString::fromStdString(setup.wine));
  feed_edit_->setText(Text(setup.feed));
  FillExporters(Text(setup.exporter));
  for (QLineEdit* edit : {prefix_edit_, program_edit_, feed_edit_})
    connect(edit, &QLineEdit::editingFinished, this, &TWineSetForm::CheckFields);
  connect(exporter_box_, &QComboBox::currentIndexChanged, this, &TWineSetForm::CheckFields);
  connect(use_box_, &QCheckBox::toggled, this, &TWineSetForm::CheckFields);
  connect(prefix_edit_, &QLineEdit::editingFinished, this,
          [this] { FillExporters(exporter_box_->currentData().toString()); });
  CheckFields();
  resize(640, sizeHint().height());
}

QLineEdit* TWineSetForm::AddPathRow(QGridLayout* grid, int row, const QString& label,
                                    const char* name, bool folder) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  auto* browse = new QPushButton(QStringLiteral("参照..."), this);
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, [this, edit, label, folder] {
    QString chosen = folder ? QFileDialog::getExistingDirectory(this, label, edit->text())
                            : QFileDialog::getOpenFileName(this, label, edit->text());
    if (chosen.isEmpty()) return;
    edit->setText(chosen);
    emit edit->editingFinished();
  });
  grid->addWidget(new QLabel(label, this), row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(browse, row, 2);
  return edit;
}

// The choices: by the registration in the prefix (what it finds shown),
// the installed 32- and 64-bit exporters, and a path set in the settings.
void TWineSetForm::FillExporters(const QString& chosen) {
  QSignalBlocker block(exporter_box_);
  exporter_box_->clear();
  std::filesystem::path automatic = DefaultExporter(prefix_edit_->text().toStdString());
  exporter_box_->addItem(
      QStringLiteral("JV-Link の登録に合わせる（%1）")
          .arg(automatic.empty() ? QStringLiteral("見つかりません") : Text(automatic)),
      QString());
  for (int bits : {32, 64}) {
    std::filesystem::path installed = InstalledExporter(bits);
    if (!installed.empty())
      exporter_box_->addItem(QStringLiteral("%1 ビット用: %2").arg(bits).arg(Text(installed)),
                             Text(installed));
  }
  if (!chosen.isEmpty() && exporter_box_->findData(chosen) < 0)
    exporter_box_->addItem(chosen, chosen);
  exporter_box_->setCurrentIndex(std::max(0, exporter_box_->findData(chosen)));
}

WineSetup TWineSetForm::Shown() const {
  WineSetup setup;
  setup.enabled = use_box_->isChecked();
  setup.prefix = prefix_edit_->text().trimmed().toStdString();
  setup.wine = program_edit_->text().trimmed().toStdString();
  setup.exporter = exporter_box_->currentData().toString().toStdString();
  setup.feed = feed_edit_->text().trimmed().toStdString();
  return setup;
}

void TWineSetForm::CheckFields() {
  WineSetup setup = Shown();
  std::string problem = CheckWineSetup(setup);
  check_label_->setText(problem.empty()
                            ? QStringLiteral("準備ができています: %1 で JV-Link から書き出します。")
                                  .arg(Text(setup.exporter.filename()))
                            : QString::fromStdString(problem));
}

void TWineSetForm::OkBtnClick() {
  WineSetup setup = Shown();
  if (setup.prefix.empty() || setup.wine.empty() || setup.feed.empty()) {
    ShowInformationUtf8(this, QStringLiteral("プレフィックス、Wine のプログラム、フィードフォルダを"
                                             "入力してください。"));
    return;
  }
  try {
    SettingsFile settings;
    WriteWineSetup(settings, setup);
  } catch (const Error& error) {
    ShowError(this, error);
    return;
  }
  accept();
}

}  // namespace sorvix
