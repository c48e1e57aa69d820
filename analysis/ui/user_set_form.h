// 設定: the sign point dialog.  28 two-digit fields grouped by sign family;
// OK saves them, キャンセル closes, 初期値に戻す puts the defaults back into
// the fields (saved only by OK).  Enter in a field moves to the next field,
// and from the last one to OK.  A stored value outside 0..99 is shown marked
// and written back unchanged unless the user types a new one.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "analysis/sign_kinds.h"

class QLineEdit;
class QPushButton;

namespace sorvix {

struct SignPoints;

class TUserSetForm : public QDialog {
  Q_OBJECT
 public:
  explicit TUserSetForm(QWidget* parent = nullptr);

  void OkBtnClick();
  void ResetBtnClick();
  // Puts `points` into the fields in place of the stored ones (saved only
  // by OK), as 配点最適化 does with the points it tuned.
  void FillPoints(const SignPoints& points) { Show(points); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show(const SignPoints& points);
  // The field at `index` no longer keeps a stored out-of-range value.
  void Release(size_t index);

  // The field of each sign, named by the sign's settings key ("Red1").
  std::array<QLineEdit*, kSignCount> fields_{};
  // Stored values outside 0..99 that OK writes back unchanged while their
  // field is not edited.
  std::array<std::optional<int>, kSignCount> kept_{};
  QPushButton* ok_ = nullptr;
  QWidget* last_ = nullptr;  // the last field in tab order
};

}  // namespace sorvix
