#include "print/print_frame.h"

#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "print/print_primitives.h"
#include "store/race_day.h"

namespace sorvix {

std::vector<PlannedPage> PlanPages(const RaceDay& day, PrintScope scope, const PageStyle& style) {
  std::vector<PlannedPage> pages;
  auto pagesFor = [&](int races) { return (races + style.spareRaces) / style.blocksPerPage; };
  if (scope == PrintScope::AllVenues) {
    const int n = pagesFor(day.RaceListRows);
    for (int p = 0; p < n; ++p) {
      PlannedPage page;
      page.first = style.blocksPerPage * p;
      page.title = RaceKeyDateTitle(day.Sheet[0]) + Cp932View::FromBytes(style.dayTitleEnd);
      page.mark = Cp932Text::FromBytes(Format("Page%d", p + 1));
      page.label = Cp932(Format(style.dayLabelNumber, p + 1) + "ﾍﾟｰｼﾞ目");
      pages.push_back(page);
    }
    return pages;
  }
  for (int v = 0; v < kDayVenueCount; ++v) {
    const int code = ReadInt(day.DayVenues[v].View());
    if (code <= 0) continue;
    const RaceSheet& first = day.VenueRaceSheet[v][0];
    const Cp932Text venueName = VenueName(day.DayVenues[v].View());
    PlannedPage page;
    page.venue = v;
    page.title =
        RaceKeyDateTitle(first) + Cp932View::FromBytes(style.titleGap) + RaceKeyMeetingTitle(first);
    if (!style.venuePagesNumbered) {
      page.label = venueName;
      pages.push_back(page);
      continue;
    }
    int races = 0;
    for (int s = 0; s < day.RaceCount && s < kRaceSlots; ++s)
      if (day.RaRec[s].Int(ra::kVenueCode) == code) ++races;
    for (int j = 0; j < pagesFor(races); ++j) {
      page.first = style.blocksPerPage * j;
      page.mark = venueName + Cp932View::FromBytes(Format("Page%d", j + 1));
      page.label = venueName + Cp932(Format("%d", j + 1) + "ﾍﾟｰｼﾞ");
      pages.push_back(page);
    }
  }
  return pages;
}

Cp932Text NoRaceDataMessage() {
  return Cp932("分析用ﾃﾞｰﾀを選択してください。");
}

PrintResult PrintDayPages(const RaceDay& day, PrintScope scope, const DayPrintLayout& layout,
                          TPrevX& prev, const std::function<void(const PlannedPage&)>& draw) {
  PrintResult result;
  if (day.RaceListRows <= 0) {
    result.Message = NoRaceDataMessage();
    return result;
  }
  result.Caption = scope == PrintScope::AllVenues ? layout.allVenuesCaption : layout.byVenueCaption;
  std::vector<PlannedPage> pages = PlanPages(day, scope, layout.pages);
  for (const PlannedPage& page : pages) result.Labels.push_back(page.label);
  prev.SetPaper(9, layout.orientation);
  if (!pages.empty()) {  // nothing to record: no page at all
    prev.BeginPages();
    for (size_t p = 0; p < pages.size(); ++p) {
      if (p > 0) prev.AddPage();
      draw(pages[p]);
    }
    prev.EndPages();
  }
  result.Printed = true;
  return result;
}

}  // namespace sorvix
