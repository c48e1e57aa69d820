// Replays one recorded page with a QPainter, in the page's own printer-dot
// coordinates: the PDF export draws at the recording's resolution, a
// preview scales the painter first.  Font sizes are turned into pixel sizes
// at the page's font resolution, so they keep their size under any scale.
#pragma once

#include <QPainter>

#include "print/page_model.h"

namespace sorvix {

void ReplayPage(QPainter& painter, const RecordedPage& page);

}  // namespace sorvix
