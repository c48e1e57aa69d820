#include "app/ui/save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>

namespace sorvix {
namespace {

QHash<QString, QString>& LastFolders() {
  static QHash<QString, QString> folders;
  return folders;
}

}  // namespace

SaveKind CsvFiles() {
  return {QStringLiteral("csv"), QStringLiteral("CSV ファイル (*.csv)")};
}

SaveKind PdfFiles() {
  return {QStringLiteral("pdf"), QStringLiteral("PDF ファイル (*.pdf)")};
}

SaveKind PngFiles() {
  return {QStringLiteral("png"), QStringLiteral("PNG 画像 (*.png)")};
}

QString SuggestedSavePath(const SaveKind& kind, const QString& name) {
  QString folder = LastFolders().value(kind.extension);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  return QDir(folder).filePath(WithExtension(name, kind));
}

QString WithExtension(const QString& path, const SaveKind& kind) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QStringLiteral(".") + kind.extension;
}

void RememberSaveFolder(const SaveKind& kind, const QString& path) {
  LastFolders()[kind.extension] = QFileInfo(path).absolutePath();
}

QString AskSavePath(QWidget* parent, const QString& caption, const SaveKind& kind,
                    const QString& suggestedName) {
  QFileDialog dialog(parent, caption);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(kind.filter);
  // The dialog adds it before it asks about replacing a file.
  dialog.setDefaultSuffix(kind.extension);
  QString suggested = SuggestedSavePath(kind, suggestedName);
  dialog.setDirectory(QFileInfo(suggested).absolutePath());
  dialog.selectFile(QFileInfo(suggested).fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return WithExtension(dialog.selectedFiles().constFirst(), kind);
}

}  // namespace sorvix
