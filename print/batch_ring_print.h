// The batch ring table print (一括リング表): twelve races to an A4 landscape
// page, each a narrow band of header, result line and the 18 ring-row
// columns reduced to bracket, horse number, horse name and jockey.
#pragma once

#include "print/page_model.h"
#include "print/print_frame.h"

namespace sorvix {

class RaceDay;

// Composes the batch ring table of the loaded day into `prev`.  With an
// empty race list nothing is composed and the result carries the message.
PrintResult PrintBatchRing(const RaceDay& day, PrintScope scope, TPrevX& prev);

}  // namespace sorvix
