#include "store/race_day_loader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <system_error>
#include <unordered_map>

#include "app/error_log.h"
#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/block_file.h"
#include "store/horse_master_conversion.h"
#include "store/race_day.h"
#include "store/record_checks.h"
#include "store/record_date.h"
#include "store/run_ledger.h"
#include "store/save_mark_file.h"
#include "store/store_paths.h"

namespace sorvix {
namespace {

// Earlier runs further back than this many days before the race are not
// taken.
constexpr int64_t kKakoDays = 527;
constexpr int kProgressMax = 72;

// A kept file of fixed-length blocks with the first block of every key.
struct KeyedFile {
  std::unordered_map<std::string, int64_t> first;
  std::string bytes;
};

// Beyond this many kept bytes a cache starts over.
constexpr size_t kCacheBytes = size_t{96} << 20;

}  // namespace

struct StoreFileCache::Files {
  // By relative store path; nullopt for a file that does not exist.
  std::unordered_map<std::string, std::optional<KeyedFile>> keyed;
  size_t bytes = 0;
};

StoreFileCache::StoreFileCache() : files_(std::make_unique<Files>()) {}
StoreFileCache::~StoreFileCache() = default;

namespace {

void CreateFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return;
  fs::create_directories(folder, ec);
  if (ec) {
    errno = ec.value();
    ThrowIoError("フォルダを作成できません", folder);
  }
}

class Loader {
 public:
  Loader(RaceDay& day, Cp932View dateLabel, const LoadOptions& options, LoadProgress& progress)
      : day_(day),
        label_(dateLabel),
        options_(options),
        progress_(progress),
        files_(options.cache ? options.cache->files() : ownFiles_) {
    const Cp932View label = dateLabel;
    raceTitle_ = Cp932("レースデータ読込中：") + label;
    runnerTitle_ = Cp932("各馬情報読込中　　：") + label;
    jockeyTitle_ = Cp932("騎手情報読込中　　：") + label;
    trainerTitle_ = Cp932("調教師読込中　　　：") + label;
    kakoTitle_ = Cp932("過去走情報読込中　：") + label;
    detail_.reserve(64);
  }

  void Run(BlockFile& raceFile) {
    progress_.SetRange(kProgressMax);
    progress_.SetTitle(raceTitle_);
    progress_.Show();
    progress_.ProcessEvents();

    day_.ClearLoadedRecords();
    day_.LoadedDate = label_.bytes();
    LoadSaveMarks();
    LoadRaces(raceFile);
    LoadOdds();
    BuildRaceList();
    LoadEarlierRaces();
    CountResults(day_, progress_);
    if (options_.countsBefore) countsNotRebuilt_ = options_.countsBefore->RewindCounts(day_);
    EstimateAbility(day_, options_.source);
    for (int v = 0; v < kDayVenueCount && v < venueCount_; ++v)
      day_.DayVenues[v].Assign(std::string_view(venues_[v], 2));
    RunAnalysis();
  }

 private:
  // A damaged line that the load went past: "file: line N: text".
  void Warn(const fs::path& path, int64_t block, const std::string& text) {
    std::string where = path.string();
    if (block >= 0) where += ": " + std::to_string(block + 1) + " 行目";
    warnings_.push_back(where + ": " + text);
  }

 public:
  std::vector<std::string> TakeWarnings() { return std::move(warnings_); }
  bool marksWritable() const { return marksWritable_; }
  int countsNotRebuilt() const { return countsNotRebuilt_; }

 private:
  void Title(Cp932View title) {
    progress_.SetTitle(title);
    progress_.ProcessEvents();
  }

  // Save marks: SpsBuf from the SaveMarkFile (created with "0" when
  // missing), SpsMark "○" for every marked ring row.
  void LoadSaveMarks() {
    static const std::string kMark = "○"_sj;
    std::string marks;
    try {
      if (options_.readOnly) {
        marks = ReadFileIfExists(HomePath(SaveMarkFilePath(label_))).value_or("");
        marks.resize(kSaveMarkBytes, '0');
      } else {
        marks = ReadSaveMarks(label_);
      }
    } catch (const Error& e) {
      // The file cannot be made (a read-only folder, or another program
      // writing the folder): the day loads without marks.
      std::error_code ec;
      if (fs::exists(HomePath(SaveMarkFilePath(label_)), ec)) throw;
      marks.assign(kSaveMarkBytes, '0');
      if (e.kind() == Error::Kind::Busy)
        warnings_.push_back(std::string(e.what()) + "。特別マークなしで読み込みました");
      else
        marksWritable_ = false;
    }
    std::copy_n(marks.begin(), kSaveMarkBytes, day_.SpsBuf.begin());
    for (int r = 0; r < kRaceSlots; ++r)
      for (int k = 0; k < kRingRows; ++k) {
        if (day_.SpsBuf[static_cast<size_t>(r * kRingRows + k)] == '1')
          day_.Calc[r].SpsMark[k] = kMark;
        else
          day_.Calc[r].SpsMark[k].Clear();
      }
  }

  void LoadRaces(BlockFile& raceFile) {
    int64_t blocks = raceFile.BlockCount(kRaLength);
    int r = 0;
    for (int64_t b = 0; b < blocks && r < kRaceSlots; ++b) {
      RaImage& ra = day_.RaRec[r];
      raceFile.ReadBlock(b, kRaLength, ra.data());
      if (ra.IsBlank(ra::kYear)) {
        ra.Clear();
        continue;
      }
      // A race line whose date or race number is damaged, or that is no
      // whole RA line, costs that race, not the day.
      auto problem = StoredLineProblem(ra.Text(), RaRecord::kType);
      if (!problem) problem = RaceKeyProblem(ra.Text());
      if (problem) {
        Warn(raceFile.Path(), b, *problem + "。このレースを読み飛ばしました");
        ra.Clear();
        continue;
      }
      int64_t raceDay = *RecordDay(ra.Text());
      int race = ra.Int(ra::kRaceNumber);
      int runners = day_.Runners(r);
      auto runnerFile =
          BlockFile::OpenIfExists(HomePath(RunnerFilePath(label_, ra.Field(ra::kVenueCode))));
      if (runnerFile && runners > 0) {
        runnerFile->BlockCount(kSeLength);  // a runner file of whole lines only
        const int64_t first = static_cast<int64_t>(race - 1) * kHorseSlots;
        const bool whole = first >= 0 && (first + runners) * kSeLength <= runnerFile->Size();
        if (whole) {
          // The race's runners lie side by side: one read for all of them.
          runners_.resize(static_cast<size_t>(runners) * kSeLength);
          runnerFile->ReadAt(first * kSeLength, runners * kSeLength, runners_.data());
        }
        for (int h = 0; h < runners; ++h) {
          if (whole)
            std::copy_n(runners_.data() + static_cast<size_t>(h) * kSeLength, kSeLength,
                        day_.SeRec[r][h].data());
          else
            runnerFile->ReadBlock(first + h, kSeLength, day_.SeRec[r][h].data());
          // A line that is no whole SE line costs that runner, as a missing
          // one does.
          if (auto problem = StoredLineProblem(day_.SeRec[r][h].Text(), SeRecord::kType)) {
            Warn(runnerFile->Path(), first + h, *problem + "。この出走馬を読み飛ばしました");
            day_.SeRec[r][h].Clear();
            continue;
          }
          LoadRunner(r, h, raceDay);
        }
      }
      progress_.Advance();
      day_.RaceCount = r + 1;
      ++r;
    }
  }

  void LoadRunner(int r, int h, int64_t raceDay) {
    const RaImage& ra = day_.RaRec[r];
    const SeImage& se = day_.SeRec[r][h];
    detail_.clear();
    detail_ += VenueName(ra.Field(ra::kVenueCode)).bytes();
    detail_ += PadNumber(ra.Field(ra::kRaceNumber));
    detail_ += "R:";
    detail_ += CircledNumber(se.Int(se::kHorseNumber)).bytes();
    detail_ += se.Field(se::kHorseNameHead);
    progress_.SetDetail(Cp932View::FromBytes(detail_));
    Title(runnerTitle_);

    day_.RunnerImagesUsed[r][h] = std::max<uint8_t>(day_.RunnerImagesUsed[r][h], 1);
    std::string_view pedigree = se.Field(se::kPedigreeNumber);
    // Fields that name files are used only when they are what they must be
    // (10 and 5 digits); anything else names no horse, jockey or trainer.
    bool hasHorse = IsPedigreeNumber(pedigree);
    if (hasHorse) LoadHorse(pedigree, day_.UmRec[r][h]);

    Title(jockeyTitle_);
    std::string_view jockey = se.Field(se::kJockeyCode);
    if (IsPersonCode(jockey))
      FindKeyed(JockeyFilePath(jockey), ks::kJockeyCode, jockey, day_.KsRec[r][h]);

    Title(trainerTitle_);
    std::string_view trainer = se.Field(se::kTrainerCode);
    if (IsPersonCode(trainer))
      FindKeyed(TrainerFilePath(trainer), ch::kTrainerCode, trainer, day_.ChRec[r][h]);

    Title(kakoTitle_);
    if (hasHorse) LoadKako(r, h, pedigree, raceDay);
  }

  void LoadHorse(std::string_view pedigree, UmImage& um) {
    fs::path horsePath = HomePath(HorseFilePath(pedigree));
    auto file = BlockFile::OpenIfExists(horsePath);
    if (!file && options_.readOnly) {
      // The older layout's first record, converted here, not on disk.
      if (auto old = BlockFile::OpenIfExists(HomePath(OldHorseFilePath(pedigree)));
          old && old->BlockCount(kOldUmLength) > 0) {
        std::string record(kOldUmLength, ' ');
        old->ReadBlock(0, kOldUmLength, record.data());
        std::string line = ConvertHorseMasterRecord(record) + "\r\n";
        std::copy_n(line.begin(), std::min<size_t>(line.size(), kUmLength), um.data());
      }
      return;
    }
    if (!file) {
      CreateFolder(HomePath("\\UM2\\" + std::string(pedigree.substr(0, 4))));
      ConvertHorseMasterFile(HomePath(OldHorseFilePath(pedigree)), horsePath);
      file = BlockFile::OpenIfExists(horsePath);
    }
    if (!file) return;
    file->ReadBlock(0, kUmLength, um.data());
    if (auto problem = StoredLineProblem(um.Text(), UmRecord::kType)) {
      Warn(file->Path(), 0, *problem + "。この馬のデータを読み飛ばしました");
      um.Clear();
    }
  }

  // The first block of a jockey or trainer file whose `key` field equals
  // `code`.
  template <class Record>
  void FindKeyed(const std::string& relative, FieldAt<Record> key, std::string_view code,
                 RecordImage<Record>& image) {
    constexpr int N = Record::kLength;
    const KeyedFile* keyed = Keyed(relative, key);
    if (!keyed) return;
    auto it = keyed->first.find(std::string(code));
    if (it != keyed->first.end())
      std::copy_n(keyed->bytes.data() + it->second * N, N, image.data());
  }

  // A stored file (by its relative store path) of lines of kind Record read
  // once, per load or per cache, with the first block of every `key`, so
  // that the many lookups in jockey, trainer and race files read each file
  // once.
  template <class Record>
  const KeyedFile* Keyed(const std::string& relative, FieldAt<Record> key) {
    return KeyedBlocks(relative, Record::kLength, Record::kType, key.pos - 1, key.width);
  }
  const KeyedFile* KeyedBlocks(const std::string& relative, int length, std::string_view type,
                               int keyOffset, int keyWidth) {
    auto cached = files_.keyed.find(relative);
    if (cached != files_.keyed.end()) return cached->second ? &*cached->second : nullptr;
    auto file = BlockFile::OpenIfExists(HomePath(relative));
    std::optional<KeyedFile> kept;
    if (file) {
      int64_t blocks = file->BlockCount(length);
      kept.emplace();
      kept->bytes.assign(static_cast<size_t>(file->Size()), ' ');
      if (file->Size() > 0) file->ReadAt(0, static_cast<int>(file->Size()), kept->bytes.data());
      for (int64_t b = 0; b < blocks; ++b) {
        // A line that is no whole line of its type is found by no key.
        std::string_view line =
            std::string_view(kept->bytes).substr(static_cast<size_t>(b * length), length);
        if (auto problem = StoredLineProblem(line, type)) {
          Warn(file->Path(), b, *problem + "。この行を読み飛ばしました");
          continue;
        }
        kept->first.emplace(
            std::string(line.substr(static_cast<size_t>(keyOffset), static_cast<size_t>(keyWidth))),
            b);
      }
    }
    if (files_.bytes > kCacheBytes) {
      files_.keyed.clear();
      files_.bytes = 0;
    }
    files_.bytes += relative.size() + (kept ? kept->bytes.size() : 0);
    auto& slot = files_.keyed[relative];
    slot = std::move(kept);
    return slot ? &*slot : nullptr;
  }

  // The runner's earlier runs, most recent first: results before the race's
  // own date and no more than 527 days before the race.
  void LoadKako(int r, int h, std::string_view pedigree, int64_t raceDay) {
    auto file = BlockFile::OpenIfExists(HomePath(PastRunFilePath(pedigree)));
    if (!file) return;
    if (file->Size() % kSeLength != 0) {
      // Lines of other lengths shift every block: none can be trusted.
      Warn(file->Path(), -1,
           "長さが " + std::to_string(kSeLength) +
               " バイトの行の倍数ではありません。この馬の過去走を読み飛ばしました");
      return;
    }
    int64_t blocks = file->Size() / kSeLength;
    // Past-run files are small: one read for the whole file.
    pastRuns_.resize(static_cast<size_t>(file->Size()));
    if (file->Size() > 0) file->ReadAt(0, static_cast<int>(file->Size()), pastRuns_.data());
    int64_t seDate = day_.SeRec[r][h].Number(se::kDate);
    int k = 0;
    for (int64_t b = blocks - 1; b >= 0 && k < kKakoRuns; --b) {
      SeImage& kako = day_.KakoSeRec[r][h][k];
      day_.RunnerImagesUsed[r][h] =
          std::max<uint8_t>(day_.RunnerImagesUsed[r][h], static_cast<uint8_t>(k + 2));
      std::copy_n(pastRuns_.data() + static_cast<size_t>(b) * kSeLength, kSeLength, kako.data());
      // A damaged line costs that one past run.
      auto problem = RaceKeyProblem(kako.Text());
      if (!problem && (kako.Field(se::kRecordType) != "SE" || kako.Field(se::kLineEnd) != "\r\n"))
        problem = "SE の行ではありません";
      if (problem) {
        Warn(file->Path(), b, *problem + "。この過去走を読み飛ばしました");
        kako.Clear();
        continue;
      }
      int64_t runDay = *RecordDay(kako.Text());
      if (raceDay - runDay > kKakoDays) {
        kako.Clear();
        break;
      }
      int64_t runDate = kako.Number(se::kDate);
      if (runDate >= seDate || runDate <= 0 || seDate <= 0) {
        kako.Clear();
        continue;
      }
      day_.KakoRaRec[r][h][k].Put(ra::kRaceKey, kako.Field(se::kRaceKey));
      ++k;
    }
  }

  // The OddsFile line of each race, matched by date, venue and race number.
  // Read as text lines: a short or long line is that line with blanks (or
  // cut), so one damaged line never shifts the others.  Only the odds
  // estimate uses the file.
  void LoadOdds() {
    if (options_.source != EstimateSource::PredictedOdds) return;
    auto bytes = ReadFileIfExists(HomePath(OddsFilePath(label_)));
    if (!bytes) return;
    std::vector<std::string> lines = SplitLines(*bytes);
    if (lines.size() > static_cast<size_t>(kRaceSlots)) lines.resize(kRaceSlots);
    OddsImage line;
    for (const std::string& text : lines) {
      line.Assign(std::string_view(text).substr(0, std::min(text.size(), size_t{kOddsLength - 2})));
      line.Put(odds::kLineEnd, "\r\n");
      Cp932Text venue = line.Field(odds::kSource) == "J"
                            ? VenueName(line.Field(odds::kVenueCode))
                            : VenueByIndex(line.Field(odds::kVenueCode));
      for (int r = 0; r < day_.RaceCount; ++r) {
        const RaImage& ra = day_.RaRec[r];
        if (ra.IsBlank(ra::kYear)) continue;
        if (line.Field(odds::kDate) == ra.Field(ra::kDate) &&
            venue == VenueName(ra.Field(ra::kVenueCode)) &&
            line.Field(odds::kRaceNumber) == ra.Field(ra::kRaceNumber)) {
          day_.YosoOzRec[r] = line;
          day_.YosoOzFound[r] = true;
          break;
        }
      }
    }
  }

  // Race list rows "09:50 中山 1R" and the day's venue codes.
  void BuildRaceList() {
    for (int r = 0; r < kRaceSlots; ++r) {
      progress_.Advance();
      const RaImage& ra = day_.RaRec[r];
      if (ra.IsBlank(ra::kYear) || ra.Field(ra::kYear) == "0000") continue;
      char number[16];
      std::snprintf(number, sizeof number, "%2dR", ra.Int(ra::kRaceNumber));
      detail_.clear();
      detail_ += ra.Field(ra::kStartHour);
      detail_ += ':';
      detail_ += ra.Field(ra::kStartMinute);
      detail_ += ' ';
      detail_ += VenueName(ra.Field(ra::kVenueCode)).bytes();
      detail_ += number;
      day_.RaceList[day_.RaceListRows++] = detail_;
      AddVenue(ra.Field(ra::kVenueCode));
    }
  }

  void AddVenue(std::string_view code) {
    char key[2] = {code.size() > 0 ? code[0] : ' ', code.size() > 1 ? code[1] : ' '};
    int at = 0;
    while (at < venueCount_ && std::string_view(venues_[at], 2) < std::string_view(key, 2)) ++at;
    if (at < venueCount_ && std::string_view(venues_[at], 2) == std::string_view(key, 2)) return;
    for (int i = venueCount_; i > at; --i) std::copy_n(venues_[i - 1], 2, venues_[i]);
    std::copy_n(key, 2, venues_[at]);
    ++venueCount_;
  }

  // The race of every earlier run at a JRA venue whose date has a RaceFile.
  void LoadEarlierRaces() {
    for (int r = 0; r < day_.RaceCount; ++r)
      for (int h = 0; h < kHorseSlots; ++h)
        for (int k = 0; k < kKakoRuns; ++k) {
          const SeImage& kako = day_.KakoSeRec[r][h][k];
          if (kako.IsBlank(se::kYear)) break;
          int venue = kako.Int(se::kVenueCode);
          if (venue < 1 || venue > 10) continue;
          // The venue code and the race number find the race.
          const KeyedFile* races =
              Keyed(RaceFilePath(DateLabel(kako.Text())), ra::kVenueMeetingDayRace);
          if (!races) continue;
          auto venueOf = [](std::string_view key) {
            return FieldWithin(key, ra::kVenueMeetingDayRace, ra::kVenueCode);
          };
          auto raceOf = [](std::string_view key) {
            return FieldWithin(key, ra::kVenueMeetingDayRace, ra::kRaceNumber);
          };
          for (const auto& [key, block] : races->first) {
            if (raceOf(key) == kako.Field(se::kRaceNumber) &&
                venueOf(key) == kako.Field(se::kVenueCode)) {
              // The first block of that venue and race in file order.
              int64_t first = block;
              for (const auto& [other, b] : races->first)
                if (b < first && raceOf(other) == raceOf(key) && venueOf(other) == venueOf(key))
                  first = b;
              std::copy_n(races->bytes.data() + first * kRaLength, kRaLength,
                          day_.KakoRaRec[r][h][k].data());
              break;
            }
          }
        }
  }

  void RunAnalysis() {
    LoadContext context{label_, options_.source, progress_};
    for (const AnalysisStep& step : options_.analysis) {
      if (step.runDay) step.runDay(day_, context);
      if (step.runRace)
        for (int slot = 0; slot < day_.RaceListRows; ++slot) step.runRace(day_, context, slot);
    }
  }

  RaceDay& day_;
  Cp932View label_;
  const LoadOptions& options_;
  LoadProgress& progress_;
  Cp932Text raceTitle_, runnerTitle_, jockeyTitle_, trainerTitle_, kakoTitle_;
  std::string detail_;
  StoreFileCache::Files ownFiles_;
  StoreFileCache::Files& files_;
  std::string runners_, pastRuns_;
  std::vector<std::string> warnings_;
  bool marksWritable_ = true;
  int countsNotRebuilt_ = 0;
  char venues_[kRaceSlots][2] = {};
  int venueCount_ = 0;
};

}  // namespace

int RowToSelect(int lastRow, int rows) {
  if (rows <= 0) return -1;
  return std::clamp(lastRow, 0, rows - 1);
}

LoadOutcome LoadRaceDay(RaceDay& day, Cp932View dateLabel, const LoadOptions& options) {
  LoadProgress silent;
  LoadProgress& progress = options.progress ? *options.progress : silent;
  LoadOutcome outcome;

  day.From2005 = ReadNumber(Field(dateLabel.bytes(), date_label::kYear)) >= 2005;
  day.Reset();

  auto raceFile = BlockFile::OpenIfExists(HomePath(RaceFilePath(dateLabel)));
  if (!raceFile) {
    day.ClearRecords();
    outcome.message = Cp932("データ作成が未完了のようです。");
    return outcome;
  }

  try {
    Loader loader(day, dateLabel, options, progress);
    loader.Run(*raceFile);
    outcome.warnings = loader.TakeWarnings();
    outcome.marksWritable = loader.marksWritable();
    outcome.countsNotRebuilt = loader.countsNotRebuilt();
  } catch (...) {
    // Nothing half read stays behind.
    day.Reset();
    day.ClearRecords();
    progress.Close();
    throw;
  }
  progress.Close();
  // Each damaged line the load went past is noted in the error log too
  // (as far as the log can be written).
  if (!outcome.warnings.empty() && !options.readOnly) {
    try {
      std::vector<Cp932Text> lines;
      for (const std::string& warning : outcome.warnings) lines.push_back(Cp932(warning));
      ErrorLog().AppendErrors(std::time(nullptr), lines);
    } catch (const Error&) {
    }
  }

  outcome.loaded = true;
  outcome.selectedRow = RowToSelect(options.lastRow, day.RaceListRows);
  outcome.stepperMax = day.RaceListRows - 1;
  return outcome;
}

}  // namespace sorvix
