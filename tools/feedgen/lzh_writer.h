// A minimal LZH archive writer: stored members (method -lh0-) with level-0
// headers, enough for the predicted-odds archives of the feed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/feedgen/date.h"

namespace sorvix::feedgen {

struct LzhMember {
  std::string name;  // CP932, at most 255 bytes
  std::string data;
  Date date;  // the member's time stamp (at noon)
};

// The archive bytes.  Throws std::invalid_argument for a name that does not
// fit a level-0 header or data of 4 GiB or more.
std::string LzhArchive(const std::vector<LzhMember>& members);

// CRC-16 as LHA uses it (polynomial 0xA001, reflected, initial value 0).
uint16_t LhaCrc16(std::string_view data);

}  // namespace sorvix::feedgen
