// Where the program saves a file the user names (CSV, PDF, PNG): one dialog
// for all of them.  It starts in the folder last used for that kind of file
// in this run (the home folder at first) with a suggested name, asks before
// replacing a file, and gives a name typed without an extension the kind's
// own, so "結果" is saved as "結果.csv".
#pragma once

#include <QString>

class QWidget;

namespace sorvix {

struct SaveKind {
  QString extension;  // "csv", without the dot
  QString filter;     // "CSV ファイル (*.csv)"
};

SaveKind CsvFiles();
SaveKind PdfFiles();
SaveKind PngFiles();

// The dialog; empty when the user cancels.
QString AskSavePath(QWidget* parent, const QString& caption, const SaveKind& kind,
                    const QString& suggestedName);

// The path the dialog starts with: `name` in the kind's last folder.
QString SuggestedSavePath(const SaveKind& kind, const QString& name);
// `path` with the kind's extension added when its name has none.
QString WithExtension(const QString& path, const SaveKind& kind);
// Notes the folder of a file saved, for the next dialog of its kind.
void RememberSaveFolder(const SaveKind& kind, const QString& path);

}  // namespace sorvix
