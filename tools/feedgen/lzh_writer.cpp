#include "tools/feedgen/lzh_writer.h"

#include <stdexcept>

namespace sorvix::feedgen {
namespace {

void Le16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Le32(std::string& out, uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

}  // namespace

uint16_t LhaCrc16(std::string_view data) {
  uint16_t crc = 0;
  for (char ch : data) {
    crc ^= static_cast<unsigned char>(ch);
    for (int i = 0; i < 8; ++i)
      crc =
          (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
  }
  return crc;
}

std::string LzhArchive(const std::vector<LzhMember>& members) {
  std::string out;
  for (const LzhMember& m : members) {
    if (m.name.empty() || m.name.size() > 200)
      throw std::invalid_argument("LZH member name does not fit a header");
    if (m.data.size() >= 0xFFFFFFFFu) throw std::invalid_argument("LZH member too large");
    // Level-0 header: size and checksum of the rest, method, sizes, MS-DOS
    // time stamp, attribute, level, name, CRC-16 of the data.
    std::string h;
    h += "-lh0-";
    Le32(h, static_cast<uint32_t>(m.data.size()));
    Le32(h, static_cast<uint32_t>(m.data.size()));
    uint32_t dosTime = (12u << 11);
    uint32_t dosDate = (static_cast<uint32_t>(m.date.y - 1980) << 9) |
                       (static_cast<uint32_t>(m.date.m) << 5) | static_cast<uint32_t>(m.date.d);
    Le16(h, dosTime);
    Le16(h, dosDate);
    h += static_cast<char>(0x20);
    h += static_cast<char>(0x00);
    h += static_cast<char>(m.name.size());
    h += m.name;
    Le16(h, LhaCrc16(m.data));
    unsigned sum = 0;
    for (char c : h) sum += static_cast<unsigned char>(c);
    out += static_cast<char>(h.size());
    out += static_cast<char>(sum & 0xFF);
    out += h;
    out += m.data;
  }
  out += '\0';
  return out;
}

}  // namespace sorvix::feedgen
