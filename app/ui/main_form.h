// The main window: tool bar with the commands and the meeting-date list, the
// race list on the left, the race views in the tab control, and the menus.
// It owns the JV-Link control and lives from start to end.
#pragma once

#include <QMainWindow>
#include <memory>

#include "acquisition/jv_link.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace sorvix {

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(std::unique_ptr<JvLink> jvLink, QWidget* parent = nullptr);
  ~TMainForm() override;

  JvLink& JVLink1() { return *jvLink_; }

  // リスト作成: fills DateCombo with the stored meeting dates, newest first,
  // with no entry selected.
  void MakeDataListBtnClick();

  // The widgets other windows and the tests reach.
  QComboBox* DateCombo = nullptr;
  QListWidget* DatList = nullptr;
  QLabel* DLlabel = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QFrame* Panel5 = nullptr;
  QFrame* RaceHeaderPanel = nullptr;

  QAction* ColumnOrderAction = nullptr;  // 縦列印刷
  QAction* RowOrderAction = nullptr;     // 横列印刷
  QAction* RaceDataAction = nullptr;     // 競走馬データを利用する
  QAction* OddsDataAction = nullptr;     // 予想オッズデータを利用する

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolBar();
  void BuildMenus();
  void BuildPanels();
  void RestoreGeometry();
  bool RunCreationSteps();
  void FirstShow();

  void HelpClick();
  void VersionClick();
  void FPanelClick();
  void YosoFolderClick();
  void PrintOrderClick(bool rowOrder);
  void EstimateSourceClick(bool predictedOdds);

  std::unique_ptr<JvLink> jvLink_;
  bool shown_ = false;
};

}  // namespace sorvix
