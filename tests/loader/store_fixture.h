// A small LocalStore for the loader tests: stored lines written straight in
// their file formats, in a fresh ProgramFolder.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/store_paths.h"
#include "support/record_builder.h"
#include "support/temp_home.h"

namespace sorvix::test {

struct RaceSpec {
  std::string ymd = "20240505";
  std::string venue = "05";
  int race = 1;
  std::string start = "0950";
  int runners = 10;
  std::string name = "";
};

// A stored RA line (CR LF included): positions 3–10 hold the sort key.
inline std::string StoredRa(const RaceSpec& s) {
  RecordBuilder b("RA", kRaLength);
  SetRaceId(b, {s.ymd, s.venue, 1, 1, s.race});
  b.Set(3, s.start).Set(7, s.venue).SetNumber(9, 2, s.race);
  b.Set(33, s.name).Set(874, s.start).SetNumber(882, 2, s.runners);
  return b.Build();
}

struct RunnerSpec {
  std::string ymd = "20240505";
  std::string venue = "05";
  int race = 1;
  int horse = 1;
  std::string pedigree = "2020100001";
  std::string jockey = "01234";
  std::string trainer = "05678";
  std::string name = "";  // the field's CP932 bytes
};

inline std::string StoredSe(const RunnerSpec& s) {
  RecordBuilder b("SE", kSeLength);
  SetRaceId(b, {s.ymd, s.venue, 1, 1, s.race});
  b.SetNumber(29, 2, s.horse).Set(31, s.pedigree).Set(41, s.name);
  b.Set(86, s.trainer).Set(297, s.jockey);
  return b.Build();
}

// A past-run line: positions 3–11 zeroed as stored.
inline std::string StoredPastRun(std::string_view ymd, std::string_view venue, int race,
                                 std::string_view pedigree) {
  RecordBuilder b("SE", kSeLength);
  SetRaceId(b, {std::string(ymd), std::string(venue), 1, 1, race});
  b.Set(3, "000000000").SetNumber(29, 2, 1).Set(31, pedigree);
  return b.Build();
}

class StoreFixture {
 public:
  const TempHome& home() const { return home_; }

  // Writes whole records (each with its CR LF) to a store file.
  void WriteRecords(std::string_view relative, std::vector<std::string> records,
                    bool sort = false) const {
    if (sort) std::sort(records.begin(), records.end());
    std::string bytes;
    for (const auto& r : records) bytes += r;
    WriteBytes(relative, bytes);
  }
  void WriteBytes(std::string_view relative, std::string_view bytes) const {
    home_.Write(RelativeStorePath(relative), bytes);
  }
  std::string ReadBytes(std::string_view relative) const {
    return home_.Read(RelativeStorePath(relative));
  }

  // A RunnerFile of 216 lines with the given runners at their lines.
  void WriteRunnerFile(Cp932View label, std::string_view venue,
                       const std::vector<std::string>& runners, int lines = 216) const {
    std::vector<std::string> all(static_cast<size_t>(lines),
                                 std::string(kSeLength - 2, ' ') + "\r\n");
    for (const auto& se : runners) {
      int at = (FieldInt(se, 26, 2) - 1) * 18 + FieldInt(se, 29, 2) - 1;
      if (at < lines) all[static_cast<size_t>(at)] = se;
    }
    WriteRecords(RunnerFilePath(label, venue), all);
  }

 private:
  TempHome home_;
};

}  // namespace sorvix::test
