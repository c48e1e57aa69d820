// The sign values of one race, per ring row k = 0..17: the family flags, the
// 27 computed marks (each a text of at most its sign's width; empty = no
// sign) and the sign sum.  RaceCalc carries them; the special mark SpsMark,
// the 28th mark, is RaceCalc's own field because the loader fills it.
//
// Every field has its empty value as default initialiser.
#pragma once

#include <cstdint>

#include "common/day_slots.h"
#include "common/fixed_text.h"

namespace sorvix {

struct SignValues {
  // 1 when the row has at least one mark of the family (read by the prints).
  uint8_t RedFlag[kRingRows] = {};
  uint8_t GreenFlag[kRingRows] = {};
  uint8_t OrangeFlag[kRingRows] = {};
  uint8_t BlueFlag[kRingRows] = {};
  uint8_t YellowFlag[kRingRows] = {};

  // Marks, in sign-table column order after the special mark.
  FixedText<2> Red1[kRingRows];      // unique horse symbol code: the code
  FixedText<1> Red2[kRingRows];      // unique female: "2"
  FixedText<2> Red3[kRingRows];      // unique age of 6 or more: the age
  FixedText<2> Red4[kRingRows];      // unique name starting voiced: that character
  FixedText<3> Red5[kRingRows];      // unique half-kilogram burden: the burden
  FixedText<2> Red6[kRingRows];      // unique female jockey: "女"
  FixedText<2> Red7[kRingRows];      // unique jockey with a katakana name: "外"
  FixedText<2> Red8[kRingRows];      // unique apprentice code 3: "▲"
  FixedText<3> Red9[kRingRows];      // jockey's only ride of the day (flat races): "1回"
  FixedText<2> Red10[kRingRows];     // unique name starting パ..ポ: that character
  FixedText<3> Red11[kRingRows];     // trainer's only runner of the day: "1回"
  FixedText<4> Green1[kRingRows];    // two characters shared with sire and dam
  FixedText<4> Green2[kRingRows];    // jockey and trainer share characters: 漢2..漢4, 読み
  FixedText<6> Green3[kRingRows];    // three characters shared with another runner
  FixedText<2> Green4[kRingRows];    // name starts with the jockey's initial
  FixedText<2> Green5[kRingRows];    // name starts with the trainer's initial
  FixedText<8> Green6[kRingRows];    // name holds the bracket's colour word
  FixedText<2> Orange1[kRingRows];   // horse symbol 21..25
  FixedText<2> Orange2[kRingRows];   // horse symbol 26 or 27
  FixedText<2> Orange3[kRingRows];   // name of ten characters: "10"
  FixedText<1> Orange4[kRingRows];   // name of 2..4 characters: the length
  FixedText<1> Orange5[kRingRows];   // name without voiced mark, ン or ー: "0"
  FixedText<1> Orange6[kRingRows];   // three or more ー: the count
  FixedText<8> Orange7[kRingRows];   // name holds a colour word
  FixedText<4> Blue1[kRingRows];     // two characters shared with the ring neighbour
  FixedText<4> Yellow1[kRingRows];   // same character at the same place as the neighbour
  FixedText<2> HStimeS1[kRingRows];  // post-time minute: "○"

  // Sum of the weights of the row's marks, the special mark included.
  int32_t SignSum[kRingRows] = {};
};

}  // namespace sorvix
