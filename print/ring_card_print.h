// The ring race card print (リング出馬表印刷): three race blocks to an A4
// landscape page, each race's 18 ring rows as columns from right to left
// with bracket, number, vertical names, jockey, weight, trainer, the three
// ranks and the sign boxes.
#pragma once

#include "print/page_model.h"
#include "print/print_frame.h"

namespace sorvix {

class RaceDay;

// Composes the ring race card of the loaded day into `prev` (which gets a
// 5 mm top margin in the preview).  With an empty race list nothing is
// composed and the result carries the message.
PrintResult PrintRingCard(const RaceDay& day, PrintScope scope, TPrevX& prev);

}  // namespace sorvix
