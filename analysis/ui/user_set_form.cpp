#include "analysis/ui/user_set_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/sign_points.h"
#include "app/io_error.h"
#include "app/settings_file.h"
#include "app/ui/fonts.h"
#include "app/ui/message_box.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"

namespace sorvix {
namespace {

struct Group {
  const char* title;
  const char* label;  // the family word of each field's label
  Sign first;
  int count;
};

// Groups in the tab order of the fields.
constexpr Group kGroups[] = {
    {"赤サイン", "赤", Sign::Red1, 11},      {"緑サイン", "緑", Sign::Green1, 6},
    {"橙サイン", "橙", Sign::Orange1, 7},    {"青サイン", "青", Sign::Blue1, 1},
    {"黄サイン", "黄", Sign::Yellow1, 1},    {"時刻サイン", "時", Sign::HStimeS1, 1},
    {"特別サイン", "特", Sign::Special1, 1},
};

}  // namespace

TUserSetForm::TUserSetForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("設定"));
  setObjectName(QStringLiteral("UserSetForm"));
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(QStringLiteral("サイン別配点設定"), this);
  heading->setFont(GothicFont(12, true));
  layout->addWidget(heading);

  auto* groups = new QGridLayout;
  int column = 0;
  int row = 0;
  QWidget* previous = nullptr;
  for (const Group& group : kGroups) {
    auto* box = new QGroupBox(QString::fromUtf8(group.title), this);
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < group.count; ++i) {
      Sign sign = SignAt(SignIndex(group.first) + i);
      auto* label = new QLabel(
          QString::fromUtf8(group.label) + QString::fromStdString(Utf8(CircledNumber(i + 1))), box);
      auto* field = new QLineEdit(box);
      field->setObjectName(QString::fromLatin1(InfoOf(sign).key));
      field->setValidator(new QIntValidator(0, 99, field));
      field->setMaxLength(2);
      // Room for a stored value out of range, shown greyed ("-5", "1000").
      field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-0000")) + 14);
      field->setAlignment(Qt::AlignRight);
      field->installEventFilter(this);
      const size_t index = static_cast<size_t>(sign);
      connect(field, &QLineEdit::textEdited, this, [this, index] { Release(index); });
      grid->addWidget(label, i % 6, (i / 6) * 2);
      grid->addWidget(field, i % 6, (i / 6) * 2 + 1);
      fields_[static_cast<size_t>(sign)] = field;
      if (previous) setTabOrder(previous, field);
      previous = field;
    }
    groups->addWidget(box, row, column, group.count > 6 ? 1 : 1, 1, Qt::AlignTop);
    if (++column == 3) {
      column = 0;
      ++row;
    }
  }
  last_ = previous;
  layout->addLayout(groups);
  layout->addWidget(new QLabel(
      QStringLiteral("※本設定を変更を反映するには、開催日を再読込する必要があります。"), this));

  auto* buttons = new QHBoxLayout;
  auto* reset = new QPushButton(QStringLiteral("初期値に戻す"), this);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok_ = ok;
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  ok->setDefault(true);
  buttons->addWidget(reset);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(reset, &QPushButton::clicked, this, &TUserSetForm::ResetBtnClick);
  connect(ok, &QPushButton::clicked, this, &TUserSetForm::OkBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  Show(SignPoints::Load(SettingsFile()));
}

void TUserSetForm::Show(const SignPoints& points) {
  for (int i = 0; i < kSignCount; ++i) {
    const size_t index = static_cast<size_t>(i);
    QLineEdit* field = fields_[index];
    int value = points[SignAt(i)];
    Release(index);
    if (value >= 0 && value <= 99) {
      field->setText(QString::number(value));
      continue;
    }
    // A stored value the field cannot hold: shown greyed and marked, and
    // written back unchanged unless the user types a new one.
    kept_[index] = value;
    field->clear();
    field->setPlaceholderText(QString::number(value));
    field->setStyleSheet(QStringLiteral("QLineEdit { background: #FFD8D8; }"));
    field->setToolTip(QStringLiteral("保存されている値 %1 は 0〜99 の範囲外です。"
                                     "入力しなければそのまま保存されます。")
                          .arg(value));
  }
}

void TUserSetForm::Release(size_t index) {
  if (!kept_[index]) return;
  kept_[index].reset();
  QLineEdit* field = fields_[index];
  field->setPlaceholderText(QString());
  field->setStyleSheet(QString());
  field->setToolTip(QString());
}

void TUserSetForm::OkBtnClick() {
  SignPoints points = SignPoints::Defaults();
  for (int i = 0; i < kSignCount; ++i) {
    const size_t index = static_cast<size_t>(i);
    points[SignAt(i)] = kept_[index] ? *kept_[index] : fields_[index]->text().toInt();
  }
  // All 28 points in one write: saved together, or not at all and said once.
  try {
    SettingsFile ini;
    points.Save(ini);
  } catch (const std::exception& e) {
    ShowError(this, e, QStringLiteral("設定を保存できません: "));
    return;
  }
  QApplication::beep();
  ShowInformation(this, Cp932("表示されている入力内容で保存しました。"), false);
  accept();
}

void TUserSetForm::ResetBtnClick() {
  if (!AskYesNo(this, Cp932("設定を初期値に戻しますか？"))) return;
  Show(SignPoints::Defaults());
}

bool TUserSetForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // The last field hands over to OK, not to 初期値に戻す.
      if (watched == last_)
        ok_->setFocus(Qt::TabFocusReason);
      else
        focusNextChild();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace sorvix
