#include "print/print_frame.h"

#include "codes/cp932.h"

namespace sorvix {

std::string NoRaceDataMessage() {
  return "分析用ﾃﾞｰﾀを選択してください。"_sj;
}

void RecordPages(TPrevX& prev, int orientation, const std::vector<std::string>& labels,
                 const std::function<void(int)>& draw) {
  prev.SetPaper(9, orientation);
  if (labels.empty()) return;  // nothing to record: no page at all
  prev.BeginPages();
  for (size_t p = 0; p < labels.size(); ++p) {
    if (p > 0) prev.AddPage();
    draw(static_cast<int>(p));
  }
  prev.EndPages();
}

}  // namespace sorvix
