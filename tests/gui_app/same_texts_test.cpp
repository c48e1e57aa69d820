// The sign table and the race card read the same in the main window, in
// their CSV and in sorvix-cli analyze --table, on a demo date: the texts the
// window's cells draw, the CSV's cells and the terminal table's lines.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include "analysis/sign_points.h"
#include "app/settings_file.h"
#include "app/ui/main_form.h"
#include "app/ui/message_box.h"
#include "demo_store.h"
#include "support/main_form_controls.h"
#include "support/scripted_jv_link.h"
#include "support/shell.h"
#include "views/text/csv_tables.h"

namespace sorvix {
namespace {

using Cells = std::vector<std::string>;

// The texts each cell of `grid` draws, trimmed, blanks left out: [row][col].
std::vector<std::vector<Cells>> DrawnTexts(StringGrid* grid) {
  std::vector<std::vector<Cells>> texts(static_cast<size_t>(grid->RowCount()),
                                        std::vector<Cells>(static_cast<size_t>(grid->ColCount())));
  QImage image(grid->FullSize(), QImage::Format_RGB32);
  QPainter p(&image);
  for (int row = 0; row < grid->RowCount(); ++row)
    for (int col = 0; col < grid->ColCount(); ++col) {
      Cells& cell = texts[static_cast<size_t>(row)][static_cast<size_t>(col)];
      cell::SetTextProbe([&](const QRect&, const QRect&, const QString& s) {
        if (!s.trimmed().isEmpty()) cell.push_back(s.trimmed().toStdString());
      });
      grid->PaintCell(p, col, row, QRect(0, 0, grid->ColWidth(col), grid->RowHeight()));
    }
  cell::SetTextProbe({});
  return texts;
}

// The cells of `row` from `first` on, blanks left out, but for column `skip`.
Cells Shown(const Cells& row, size_t first, size_t last, size_t skip = SIZE_MAX) {
  Cells shown;
  for (size_t c = first; c < last && c < row.size(); ++c)
    if (c != skip && !row[c].empty()) shown.push_back(row[c]);
  return shown;
}

// Whether `line` holds `cells` in their order.
bool HoldsInOrder(const std::string& line, const Cells& cells, std::string& missing) {
  size_t at = 0;
  for (const std::string& c : cells) {
    size_t found = line.find(c, at);
    if (found == std::string::npos) {
      missing = c;
      return false;
    }
    at = found + c.size();
  }
  return true;
}

// The lines of `out` after the line `title`, up to the next empty line.
std::vector<std::string> Section(const std::string& out, const std::string& title) {
  std::vector<std::string> lines;
  size_t at = out.find(title + "\n");
  if (at == std::string::npos) return lines;
  at += title.size() + 1;
  for (size_t end; (end = out.find('\n', at)) != std::string::npos && end > at; at = end + 1)
    lines.push_back(out.substr(at, end - at));
  return lines;
}

class SameTexts : public ::testing::Test, public test::MainFormControls<SameTexts> {
 protected:
  friend class test::MainFormControls<SameTexts>;
  void TearDown() override {
    form.reset();
    SetMessageHandler({});
  }
  test::DemoHome home;
  std::unique_ptr<TMainForm> form;
};

TEST_F(SameTexts, WindowCsvAndTerminalTableAgree) {
  SetMessageHandler([](MessageKind, const QString&) { return true; });
  form = std::make_unique<TMainForm>(std::make_unique<test::ScriptedJvLink>());
  ASSERT_NO_FATAL_FAILURE(Choose(QStringLiteral("2024年06月15日")));
  const SignPoints points = SignPoints::Load(SettingsFile());
  for (int race : {0, 7}) {
    SCOPED_TRACE("race " + std::to_string(race));
    form->SelectRace(race);
    QCoreApplication::processEvents();
    test::ShellRun cli = test::Shell(test::kCli.string() + " --home " + home.path().string() +
                                     " analyze 2024-06-15 --table --race " + std::to_string(race));
    ASSERT_EQ(cli.status, 0) << cli.out;

    // サイン表: heading and the 18 ring rows.
    auto csv = CsvRows(form->Day(), CsvTable::SignTable, {race}, points);
    auto window = DrawnTexts(StringGrid1());
    auto terminal = Section(cli.out, "サイン表");
    ASSERT_EQ(csv.size(), 19u);
    ASSERT_EQ(terminal.size(), 19u);
    std::string missing;
    for (size_t r = 0; r < csv.size(); ++r) {
      Cells drawn;
      for (size_t c = r == 0 ? 5 : 0; c < window[r].size(); ++c) {
        std::string joined;  // the two heading lines read as one
        for (const std::string& t : window[r][c]) joined += t;
        if (r == 0 && !joined.empty()) drawn.push_back(joined);
        if (r != 0) drawn.insert(drawn.end(), window[r][c].begin(), window[r][c].end());
      }
      Cells expected = Shown(csv[r], r == 0 ? 8 : 1, csv[r].size());
      EXPECT_EQ(drawn, expected) << "サイン表 row " << r;
      EXPECT_TRUE(HoldsInOrder(terminal[r], Shown(csv[r], 1, csv[r].size()), missing))
          << "サイン表 row " << r << ": " << missing << " not in " << terminal[r];
    }

    // 出馬表: the runners up to 着順 (the window shows 枠順 by colour only).
    csv = CsvRows(form->Day(), CsvTable::RaceCard, {race}, points);
    window = DrawnTexts(StringGrid10());
    terminal = Section(cli.out, "出馬表");
    ASSERT_GT(csv.size(), 1u);
    ASSERT_EQ(terminal.size(), csv.size());
    for (size_t r = 1; r < csv.size(); ++r) {
      Cells drawn;
      for (size_t c = 0; c <= 11; ++c)
        drawn.insert(drawn.end(), window[r][c].begin(), window[r][c].end());
      EXPECT_EQ(drawn, Shown(csv[r], 1, 19, 14)) << "出馬表 row " << r;
      EXPECT_TRUE(HoldsInOrder(terminal[r], Shown(csv[r], 1, 19), missing))
          << "出馬表 row " << r << ": " << missing << " not in " << terminal[r];
      // The past runs (not in the terminal table): the window's date, venue
      // and race, and place are the CSV's line, which adds 着 to the place.
      for (size_t k = 0; k < 10; ++k) {
        std::string drawnRun;
        for (const std::string& t : window[r][12 + k])
          drawnRun += (drawnRun.empty() ? "" : " ") + t;
        std::string line = csv[r][19 + k];
        if (line.ends_with("着")) line.resize(line.size() - std::string("着").size());
        EXPECT_EQ(drawnRun, line) << "出馬表 row " << r << " 前走" << k + 1;
      }
    }
  }
}

}  // namespace
}  // namespace sorvix
