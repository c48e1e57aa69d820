// 設定: the sign point dialog.  28 two-digit fields grouped by sign family;
// OK saves them, キャンセル closes, 初期値に戻す puts the defaults back into
// the fields (saved only by OK).  Enter in a field moves to the next field.
#pragma once

#include <QDialog>
#include <array>

#include "analysis/sign_kinds.h"

class QLineEdit;

namespace sorvix {

struct SignPoints;

class TUserSetForm : public QDialog {
  Q_OBJECT
 public:
  explicit TUserSetForm(QWidget* parent = nullptr);

  // The field of a sign (for the tests).
  QLineEdit* Field(Sign sign) const { return fields_[static_cast<size_t>(sign)]; }

  void OkBtnClick();
  void ResetBtnClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show(const SignPoints& points);

  std::array<QLineEdit*, kSignCount> fields_{};
};

}  // namespace sorvix
