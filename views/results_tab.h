// The tab 結果表: a fixed sheet of labels that shows, for the selected race,
// each bet type's winning combinations with popularity and payout.
#pragma once

#include <QWidget>
#include <vector>

class QLabel;

namespace sorvix {

struct PayoutTable;

class ResultsTab : public QWidget {
  Q_OBJECT
 public:
  explicit ResultsTab(QWidget* parent = nullptr);

  // Empties every value label, then fills the sections from `table`.
  void Fill(const PayoutTable& table);

  // The three value labels (result, popularity, payout) of a column of a
  // section: sections in the order 単勝, 複勝, 枠連, 馬連, ﾜｲﾄﾞ, 馬単, 三連複, 三連単.
  QLabel* Value(int section, int column, int line) const;

 private:
  struct Section {
    std::vector<QLabel*> values;  // column × 3 + line
  };
  std::vector<Section> sections_;
};

}  // namespace sorvix
