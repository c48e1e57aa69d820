// The continuous race card print (連続出馬表): up to twelve races on one A4
// portrait page in two columns of six blocks, each a coloured header band
// and 18 one-line runner entries in ring order ending in the sign boxes,
// the finishing position and the popularity.
#pragma once

#include "print/page_model.h"
#include "print/print_frame.h"

namespace sorvix {

class RaceDay;

// How the twelve blocks fill the two columns (settings "PrintOpt"/"ColSet").
enum class BlockOrder {
  Columns = 0,  // 縦列印刷: 1–6 down the left column, 7–12 down the right
  Rows = 1,     // 横列印刷: 1 left and 2 right in row 1, 3 and 4 in row 2, …
};

// Composes the continuous race card of the loaded day into `prev`.  With
// an empty race list nothing is composed and the result carries the
// message.
PrintResult PrintContinuousCard(const RaceDay& day, PrintScope scope, BlockOrder order,
                                TPrevX& prev);

}  // namespace sorvix
