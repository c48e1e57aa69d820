// The version window: product name, version and the data service line.
#pragma once

#include <QDialog>

namespace sorvix {

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

 private:
  void HomePageClick();
};

}  // namespace sorvix
