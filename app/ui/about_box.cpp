#include "app/ui/about_box.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/startup_checks.h"
#include "app/ui/fonts.h"
#include "app/ui/message_box.h"
#include "codes/cp932.h"

namespace sorvix {

namespace {
constexpr const char* kHomePage = "https://sorvix.example.jp/";
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  auto* layout = new QVBoxLayout(this);
  auto* product = new QLabel(QString::fromLatin1(kProductName), this);
  product->setFont(GothicFont(16, true));
  auto* version = new QLabel(QString::fromLatin1(kVersionText), this);
  version->setObjectName(QStringLiteral("Version"));
  auto* service = new QLabel(QStringLiteral("for JRA-VAN Data Lab."), this);
  for (QLabel* label : {product, version, service}) {
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  auto* buttons = new QHBoxLayout;
  auto* home = new QPushButton(QStringLiteral("ホームページ"), this);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  buttons->addWidget(home);
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(home, &QPushButton::clicked, this, &TAboutBox::HomePageClick);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  setMinimumWidth(300);
}

void TAboutBox::HomePageClick() {
  if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))))
    ShowInformation(this, Cp932("ホームページの表示に失敗しました。"));
}

}  // namespace sorvix
