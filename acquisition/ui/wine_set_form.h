// JV-Link（Wine）の設定: where JV-Link lives under Wine and whether
// JVデータ取得 and 結果情報 export through it.  The Wine prefix, the Wine
// program, the exporter (by default the one for the bitness JV-Link is
// registered for in the prefix) and the feed folder the export fills, each
// filled with what was found; the line under them says what the checks
// before a run find for the values shown.  OK keeps them.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace sorvix {

struct WineSetup;

class TWineSetForm : public QDialog {
  Q_OBJECT
 public:
  explicit TWineSetForm(QWidget* parent = nullptr);

  void OkBtnClick();
  // The setup the fields show.
  WineSetup Shown() const;
  // Runs the checks on the fields and shows the finding.
  void CheckFields();

 private:
  QLineEdit* AddPathRow(QGridLayout* grid, int row, const QString& label, const char* name,
                        bool folder);
  void FillExporters(const QString& chosen);

  QCheckBox* use_box_ = nullptr;       // WineUse
  QLineEdit* prefix_edit_ = nullptr;   // WinePrefix
  QLineEdit* program_edit_ = nullptr;  // WineProgram
  QComboBox* exporter_box_ = nullptr;  // WineExporter: empty data = by the registration
  QLineEdit* feed_edit_ = nullptr;     // FeedFolder
  QLabel* check_label_ = nullptr;      // WineCheck
};

}  // namespace sorvix
