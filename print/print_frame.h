// The frame every race-card print runs in: the paper and caption of the
// layout, one recorded page after another, and the check-list label of each
// page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "print/page_model.h"

namespace sorvix {

class RaceDay;

// Whole day or venue by venue.
enum class PrintScope { AllVenues, ByVenue };

// What a print command leaves for its preview window.
struct PrintResult {
  bool Printed = false;             // false: nothing was composed, Message says why
  std::string Message;              // CP932
  std::string Caption;              // the preview window's caption, CP932
  std::vector<std::string> Labels;  // one per page, CP932
};

// The message of a print command without a loaded date.
std::string NoRaceDataMessage();

// Sets the paper (A4, `orientation`), then records `labels.size()` pages:
// BeginPages, AddPage before every page after the first, draw(page index),
// EndPages.  With no labels nothing is recorded.
void RecordPages(TPrevX& prev, int orientation, const std::vector<std::string>& labels,
                 const std::function<void(int)>& draw);

}  // namespace sorvix
