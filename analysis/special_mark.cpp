#include "analysis/special_mark.h"

#include "analysis/run_analysis.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/race_day.h"
#include "store/save_mark_file.h"

namespace sorvix {

void ToggleSpecialMark(RaceDay& day, int slot, int ringRow, int weight) {
  if (slot < 0 || slot >= kRaceSlots || ringRow < 0 || ringRow >= kRingRows) return;
  RaceCalc& calc = day.Calc[slot];
  const RaceSheet& sheet = day.Sheet[slot];
  const std::string marked = "○"_sj;
  int horse = ReadInt(sheet.HorseNo[ringRow].View());
  for (int i = 0; i < kRingRows; ++i) {
    if (ReadInt(sheet.HorseNo[i].View()) != horse) continue;
    char& saved = day.SpsBuf[static_cast<size_t>(slot * kRingRows + i)];
    if (calc.SpsMark[i].View() == marked) {
      calc.SpsMark[i] = "";
      calc.SignSum[i] -= weight;
      saved = '0';
    } else if (calc.SpsMark[i].View().empty()) {
      calc.SpsMark[i] = marked;
      calc.SignSum[i] += weight;
      saved = '1';
    }
  }
}

void SaveSpecialMarks(const RaceDay& day) {
  WriteSaveMarks(day.LoadedLabel(), std::string_view(day.SpsBuf.data(), day.SpsBuf.size()));
}

void ToggleSpecialMarkAndRecalculate(RaceDay& day, int slot, int ringRow, int weight) {
  ToggleSpecialMark(day, slot, ringRow, weight);
  SaveSpecialMarks(day);
  RerunSignIndex(day);
}

}  // namespace sorvix
