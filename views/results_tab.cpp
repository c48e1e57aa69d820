#include "views/results_tab.h"

#include <QLabel>

#include "app/ui/fonts.h"
#include "app/ui/qt_text.h"
#include "results/payout_table.h"
#include "views/string_grid.h"

namespace sorvix {
namespace {

struct SectionSpec {
  const char* title;
  int columns;
};
constexpr SectionSpec kSections[] = {{"単勝", 3}, {"複勝", 5}, {"枠連", 3},   {"馬連", 3},
                                     {"ﾜｲﾄﾞ", 7}, {"馬単", 6}, {"三連複", 3}, {"三連単", 6}};
constexpr int kSectionHeight = 74;
constexpr int kValueLeft = 96;
constexpr int kColumnStep = 64;

void SetEntry(QLabel* const* labels, bool shows, const QString& result, int popularity,
              int payout) {
  labels[0]->setText(shows ? result : QString());
  labels[1]->setText(shows ? QString::asprintf("%2d", popularity) : QString());
  labels[2]->setText(shows ? QString::asprintf("%8d", payout) : QString());
}

}  // namespace

ResultsTab::ResultsTab(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ResultsTab"));
  QFont font = cell::Gothic(10);
  QFont bold = cell::Gothic(10, true);
  int top = 8;
  for (const SectionSpec& spec : kSections) {
    auto* title = new QLabel(QString::fromUtf8(spec.title), this);
    title->setFont(bold);
    title->setStyleSheet(QStringLiteral("background: #E0E8FF; padding: 1px 4px;"));
    title->move(8, top);
    const char* captions[] = {"結果：", "人気：", "配当："};
    Section section;
    for (int line = 0; line < 3; ++line) {
      auto* caption = new QLabel(QString::fromUtf8(captions[line]), this);
      caption->setFont(font);
      caption->move(40, top + 18 + line * 17);
    }
    for (int c = 0; c < spec.columns; ++c) {
      for (int line = 0; line < 3; ++line) {
        auto* value = new QLabel(this);
        value->setFont(line == 0 ? bold : font);
        value->setFixedWidth(kColumnStep - 4);
        value->move(kValueLeft + c * kColumnStep, top + 18 + line * 17);
        section.values.push_back(value);
      }
    }
    sections_.push_back(section);
    top += kSectionHeight;
  }
  setMinimumSize(kValueLeft + 7 * kColumnStep + 20, top);
}

QLabel* ResultsTab::Value(int section, int column, int line) const {
  return sections_.at(static_cast<size_t>(section))
      .values.at(static_cast<size_t>(column * 3 + line));
}

void ResultsTab::Fill(const PayoutTable& table) {
  for (Section& s : sections_)
    for (QLabel* label : s.values) label->clear();
  auto horses = [this](int section, const PayoutHorse* entries, int count) {
    for (int i = 0; i < count; ++i)
      SetEntry(&sections_[static_cast<size_t>(section)].values[static_cast<size_t>(i * 3)],
               entries[i].HorseNo != 0, QString::asprintf("%2d", entries[i].HorseNo),
               entries[i].Popularity, entries[i].Payout);
  };
  auto combinations = [this](int section, const PayoutCombination* entries, int count) {
    for (int i = 0; i < count; ++i)
      SetEntry(&sections_[static_cast<size_t>(section)].values[static_cast<size_t>(i * 3)],
               HasResult(entries[i].Combination.View()),
               Q(Cp932View::FromBytes(entries[i].Combination.View())), entries[i].Popularity,
               entries[i].Payout);
  };
  horses(0, table.Win, 3);
  horses(1, table.Place, 5);
  combinations(2, table.BracketQuinella, 3);
  combinations(3, table.Quinella, 3);
  combinations(4, table.QuinellaPlace, 7);
  combinations(5, table.Exacta, 6);
  combinations(6, table.Trio, 3);
  combinations(7, table.Trifecta, 6);
}

}  // namespace sorvix
