// The frame every race-card print runs in: the paper and caption of the
// layout, one recorded page after another, and the check-list label of each
// page.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "print/page_model.h"

namespace sorvix {

class RaceDay;

// Whole day or venue by venue.
enum class PrintScope { AllVenues, ByVenue };

// What a print command leaves for its preview window.
struct PrintResult {
  bool Printed = false;  // false: nothing was composed, Message says why
  Cp932Text Message;
  Cp932Text Caption;              // the preview window's caption
  std::vector<Cp932Text> Labels;  // one per page
};

// One page of a race-card print: the races its blocks show, its title, the
// mark in its corner and its line in the page check list (texts CP932).
struct PlannedPage {
  int venue = -1;  // venue index 0–2, or −1 for the whole day
  int first = 0;   // first RaceSlot (whole day) or first race ordinal of the venue
  Cp932Text title;
  Cp932Text mark;  // empty: no page mark
  Cp932Text label;
};

// How a layout divides a day into pages.
struct PageStyle {
  int blocksPerPage = 12;
  // n races fill (n + spareRaces) / blocksPerPage pages.
  int spareRaces = 11;
  // Venue by venue: true, each venue's races fill their pages, marked and
  // labelled with the venue name and the page number; false, each venue has
  // one page, labelled with the venue name and without a mark.
  bool venuePagesNumbered = false;
  // The page number of a whole-day label, before "ﾍﾟｰｼﾞ目" ("%2d" or "%d").
  const char* dayLabelNumber = "%2d";
  // After the date of a whole-day title, and between the date and the
  // meeting of a venue's title (CP932).
  std::string_view dayTitleEnd;
  std::string_view titleGap;
};

// The pages of a print of the loaded day, in print order: the whole day
// from race slot 0 ("Page1"…), or each venue of the day in turn.
std::vector<PlannedPage> PlanPages(const RaceDay& day, PrintScope scope, const PageStyle& style);

// The message of a print command without a loaded date.
Cp932Text NoRaceDataMessage();

// What a race-card layout prints the loaded day with: the preview captions
// of its two scopes, the paper's orientation and its pages.
struct DayPrintLayout {
  Cp932Text allVenuesCaption;
  Cp932Text byVenueCaption;
  int orientation = 1;
  const PageStyle& pages;
};

// Prints the loaded day in `layout`: without races, only the message that
// says so; else the caption of `scope`, then on A4 paper one page per
// planned page (BeginPages, AddPage before every page after the first,
// draw(page), EndPages), each labelled for the page check list.
PrintResult PrintDayPages(const RaceDay& day, PrintScope scope, const DayPrintLayout& layout,
                          TPrevX& prev, const std::function<void(const PlannedPage&)>& draw);

}  // namespace sorvix
