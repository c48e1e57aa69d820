// Replays recorded pages into a PDF file (A4, the pages' orientation, no
// margins).  The interface carries no Qt types so that command-line code can
// call it; the implementation starts an offscreen QGuiApplication when the
// process has none, because QPdfWriter needs one for its fonts.
#pragma once

#include <string>
#include <vector>

#include "print/page_model.h"

namespace sorvix {

// Writes `pages` (1-based page numbers of `prev`, in order) to the PDF file
// `utf8Path`.  False with `error` set when a page number is out of range or
// the file cannot be written.
bool WritePagesPdf(const TPrevX& prev, const std::vector<int>& pages, const std::string& utf8Path,
                   std::string& error);

}  // namespace sorvix
