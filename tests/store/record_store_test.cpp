#include "store/record_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "app/file_io.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "codes/cp932.h"
#include "codes/text.h"
#include "store/runner_file.h"
#include "store/store_paths.h"
#include "store/stored_line.h"
#include "support/record_builder.h"
#include "support/temp_home.h"
#include "tests/support/cp932_bytes.h"

namespace sorvix {
namespace {

using test::HrRecord;
using test::RaRecord;
using test::SeRecord;

std::vector<std::string> LinesOf(std::string_view relative) {
  return SplitLines(ReadWholeFile(HomePath(relative)));
}

const Cp932Text kLabel = Cp932("2008年01月05日");

class RecordStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateStoreFolders(); }
  test::TempHome home_;
  StoreWriter writer_;
};

TEST_F(RecordStoreTest, RaceFileKeepsOneLinePerRaceInPostTimeOrder) {
  // Race 1 at Nakayama starts 10:05, race 2 at Tokyo 09:50 (moved from
  // 09:40), race 3 at Nakayama 12:00; race 3 arrives twice, corrected.
  StoreRaceRecord(writer_, RaRecord({.venue = "06", .race = 1, .startTime = "1005"}),
                  StoreMode::Accumulating);
  StoreRaceRecord(writer_,
                  RaRecord({.venue = "05", .race = 2, .startTime = "0940", .changedTime = "0950"}),
                  StoreMode::Accumulating);
  StoreRaceRecord(writer_, RaRecord({.race = 3, .startTime = "1200", .name = "OLD"}),
                  StoreMode::Accumulating);
  std::string name = StoreRaceRecord(
      writer_, RaRecord({.race = 3, .startTime = "1200", .name = "NEW"}), StoreMode::Accumulating);
  EXPECT_EQ(name, kLabel.bytes() + ".jvRA");
  writer_.Flush();

  auto lines = LinesOf(RaceFilePath(kLabel));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 10), "RA09500502");
  EXPECT_EQ(lines[1].substr(0, 10), "RA10050601");
  EXPECT_EQ(lines[2].substr(0, 10), "RA12000603");
  EXPECT_EQ(Field(lines[2], 33, 3), "NEW");
  for (const auto& line : lines) EXPECT_EQ(line.size(), size_t{kRaLength - 2});
  // The rest of the line is the record unchanged (position 11 too).
  std::string record = RaRecord({.race = 3, .startTime = "1200", .name = "NEW"});
  EXPECT_EQ(lines[2].substr(10), record.substr(10, kRaLength - 12));
}

TEST_F(RecordStoreTest, RunnerFileHas216FixedLines) {
  std::string first = SeRecord({.race = 1, .horse = 1, .name = "FIRST"});
  std::string last = SeRecord({.race = 12, .horse = 18, .name = "LAST"});
  EXPECT_EQ(StoreRunnerRecord(writer_, first, StoreMode::Accumulating),
            kLabel.bytes() + "中山"_sj + ".jvSEr");
  StoreRunnerRecord(writer_, last, StoreMode::Accumulating);
  EXPECT_EQ(StoreRunnerRecord(writer_, SeRecord({.race = 13, .horse = 1}), StoreMode::Accumulating),
            "");
  writer_.Flush();

  std::string bytes = ReadWholeFile(HomePath(RunnerFilePath(kLabel, "06")));
  ASSERT_EQ(bytes.size(), size_t{kRunnerFileLines} * kSeLength);
  for (int i = 0; i < kRunnerFileLines; ++i) {
    std::string_view line(bytes.data() + size_t(i) * kSeLength, kSeLength);
    ASSERT_EQ(line.substr(kSeLength - 2), "\r\n") << i;
    if (i == 0) {
      EXPECT_EQ(line, first);
    } else if (i == 215) {
      EXPECT_EQ(line, last);
    } else {
      EXPECT_TRUE(IsBlank(line.substr(0, kSeLength - 2))) << i;
    }
  }
}

TEST_F(RecordStoreTest, ShortRunnerFileIsCompletedTo216Lines) {
  home_.Write(RelativeStorePath(RunnerFilePath(kLabel, "06")),
              std::string(kRunnerLineWidth, ' ') + "\r\n");
  StoreRunnerRecord(writer_, SeRecord({.race = 5, .horse = 3}), StoreMode::Accumulating);
  writer_.Flush();
  auto lines = LinesOf(RunnerFilePath(kLabel, "06"));
  ASSERT_EQ(lines.size(), size_t{kRunnerFileLines});
  EXPECT_EQ(lines[74], StoredLine(SeRecord({.race = 5, .horse = 3})));
}

TEST_F(RecordStoreTest, JockeyAndTrainerFilesGroupCodesByTheirFirstThreeCharacters) {
  EXPECT_EQ(StoreJockeyRecord(writer_, test::KsRecord("01299", '1', "B")), "012Kish.jvKS");
  StoreJockeyRecord(writer_, test::KsRecord("01234", '1', "A"));
  StoreJockeyRecord(writer_, test::KsRecord("01299", '2', "C"));
  EXPECT_EQ(StoreTrainerRecord(writer_, test::ChRecord("01234")), "012Chok.jvCH");
  writer_.Flush();

  auto jockeys = LinesOf("\\KSCH\\012Kish.jvKS");
  ASSERT_EQ(jockeys.size(), 2u);
  EXPECT_EQ(Field(jockeys[0], 12, 5), "01234");
  EXPECT_EQ(Field(jockeys[1], 12, 5), "01299");
  EXPECT_EQ(Field(jockeys[1], 50, 1), "C");
  for (const auto& line : jockeys) {
    EXPECT_EQ(Field(line, 3, 9), "000000000");
    EXPECT_EQ(line.size(), size_t{kKsLength - 2});
  }
  EXPECT_EQ(LinesOf("\\KSCH\\012Chok.jvCH").size(), 1u);
}

TEST_F(RecordStoreTest, PastRunFileKeepsOneLinePerRaceOverSeveralDownloads) {
  for (int download = 0; download < 2; ++download) {
    StoreWriter writer;
    StorePastRunRecord(writer, SeRecord({.ymd = "20080105", .race = 11, .pedigree = "2005101234"}));
    StorePastRunRecord(writer, SeRecord({.ymd = "20071223", .race = 9, .pedigree = "2005101234"}));
    writer.Flush();
  }
  auto lines = LinesOf(PastRunFilePath("2005101234"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Field(lines[0], 12, 8), "20071223");  // date order
  EXPECT_EQ(Field(lines[1], 12, 8), "20080105");
  EXPECT_EQ(Field(lines[0], 3, 9), "000000000");
  EXPECT_TRUE(std::filesystem::exists(home_.path() / "SEI/2005/2005101234.jvSEI"));
}

TEST_F(RecordStoreTest, PayoutsAreZeroedOnlyByTheAccumulatingAcquisition) {
  StorePayoutRecord(writer_, HrRecord({.race = 1}), StoreMode::Accumulating);
  StorePayoutRecord(writer_, HrRecord({.race = 2}), StoreMode::RealTime);
  writer_.Flush();
  auto lines = LinesOf(PayoutFilePath(kLabel));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Field(lines[0], 3, 9), "000000000");
  EXPECT_EQ(Field(lines[1], 3, 9), "220080105");
}

TEST_F(RecordStoreTest, RealTimeWritesOnlyIntoExistingRaceAndRunnerFiles) {
  EXPECT_EQ(StoreRaceRecord(writer_, RaRecord({}), StoreMode::RealTime), "");
  EXPECT_EQ(StoreRunnerRecord(writer_, SeRecord({}), StoreMode::RealTime), "");
  writer_.Flush();
  EXPECT_FALSE(std::filesystem::exists(HomePath(RaceFilePath(kLabel))));
  EXPECT_FALSE(std::filesystem::exists(HomePath(RunnerFilePath(kLabel, "06"))));

  // An existing RaceFile that starts with a blank line loses it.
  home_.Write(RelativeStorePath(RaceFilePath(kLabel)),
              "   \r\n" + StoredLine(RaRecord({.race = 2})) + "\r\n");
  EXPECT_NE(StoreRaceRecord(writer_, RaRecord({.race = 1}), StoreMode::RealTime), "");
  writer_.Flush();
  auto lines = LinesOf(RaceFilePath(kLabel));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(FieldInt(lines[0], 26, 2), 1);
}

TEST_F(RecordStoreTest, HorseFileIsReplacedWhole) {
  home_.Write("UM2/2005/2005101234.jvUM2", "old line\r\nsecond\r\n");
  EXPECT_EQ(StoreHorseRecord(writer_, test::UmRecord("2005101234", '1', "NEW")),
            "2005101234.jvUM2");
  writer_.Flush();
  EXPECT_EQ(home_.Read("UM2/2005/2005101234.jvUM2"), test::UmRecord("2005101234", '1', "NEW"));
}

TEST_F(RecordStoreTest, CachedWritesEqualWritingEveryRecordAtOnce) {
  // The same records written once through the cache and once with a flush
  // after every record give the same bytes, also over an existing file with
  // a repeated key in the wrong order.
  std::string repeated = StoredLine(RaRecord({.race = 4, .name = "DUP1"}));
  std::string existing = StoredLine(RaRecord({.race = 9})) + "\r\n" + repeated + "\r\n" +
                         StoredLine(RaRecord({.race = 4, .name = "DUP2"})) + "\r\n";
  std::vector<std::string> records = {RaRecord({.race = 4, .name = "X"}), RaRecord({.race = 1}),
                                      RaRecord({.race = 4, .name = "Y"}),
                                      RaRecord({.venue = "05", .race = 1, .startTime = "0950"}),
                                      RaRecord({.race = 1, .name = "Z"})};

  std::vector<std::string> results;
  for (size_t budget : {size_t{0}, StoreWriter::kDefaultBudget}) {
    home_.Write(RelativeStorePath(RaceFilePath(kLabel)), existing);
    StoreWriter writer(budget);
    for (const auto& record : records) StoreRaceRecord(writer, record, StoreMode::Accumulating);
    writer.Flush();
    results.push_back(ReadWholeFile(HomePath(RaceFilePath(kLabel))));
  }
  EXPECT_EQ(results[0], results[1]);
}

TEST_F(RecordStoreTest, FilesThatWouldNotChangeAreNotRewritten) {
  auto inode = [](std::string_view relative) {
    struct stat st {};
    stat(HomePath(relative).c_str(), &st);
    return st.st_ino;
  };
  auto storeAll = [](StoreWriter& writer) {
    StoreRaceRecord(writer, RaRecord({.race = 1}), StoreMode::Accumulating);
    StoreRunnerRecord(writer, SeRecord({.race = 1}), StoreMode::Accumulating);
    StoreHorseRecord(writer, test::UmRecord("2005101234"));
    StoreJockeyRecord(writer, test::KsRecord("01234"));
  };
  storeAll(writer_);
  writer_.Flush();
  const std::vector<std::string> files = {RaceFilePath(kLabel), RunnerFilePath(kLabel, "06"),
                                          HorseFilePath("2005101234"), JockeyFilePath("01234")};
  std::vector<ino_t> before;
  for (const auto& f : files) before.push_back(inode(f));

  StoreWriter again;
  storeAll(again);
  again.Flush();
  for (size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(inode(files[i]), before[i]) << Utf8Bytes(files[i]);

  // The same lines with LF line ends are written again with CR LF.
  std::string line = RaceLine(RaRecord({.race = 1}));
  home_.Write(RelativeStorePath(RaceFilePath(kLabel)), line + "\n");
  StoreRaceRecord(again, RaRecord({.race = 1}), StoreMode::Accumulating);
  again.Flush();
  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(kLabel))), line + "\r\n");
}

TEST_F(RecordStoreTest, FailedFlushLeavesEveryFileWhole) {
  std::string before = StoredLine(RaRecord({.race = 7})) + "\r\n";
  home_.Write(RelativeStorePath(RaceFilePath(kLabel)), before);
  // A file stands where the year folder of the horses should go.
  home_.Write("UM2/2005", "not a folder");

  StoreRaceRecord(writer_, RaRecord({.race = 1}), StoreMode::Accumulating);
  StoreHorseRecord(writer_, test::UmRecord("2005101234"));
  EXPECT_THROW(writer_.Flush(), Error);
  EXPECT_FALSE(writer_.HasPending());

  EXPECT_EQ(ReadWholeFile(HomePath(RaceFilePath(kLabel))), before);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.path()))
    EXPECT_EQ(entry.path().string().find(".tmp~"), std::string::npos) << entry.path();
}

TEST_F(RecordStoreTest, UnreadableFileStopsTheWrite) {
  // A folder in place of the RaceFile, a file in place of a year folder.
  std::filesystem::create_directories(HomePath(RaceFilePath(kLabel)));
  home_.Write("SEI/2005", "not a folder");
  EXPECT_THROW(StoreRaceRecord(writer_, RaRecord({}), StoreMode::Accumulating), Error);
  StorePastRunRecord(writer_, SeRecord({.pedigree = "2005101234"}));
  EXPECT_THROW(writer_.Flush(), Error);
}

TEST_F(RecordStoreTest, DamagedFilesAreNeverRewritten) {
  // A zero-filled payout file, a race file with a short line, a runner file
  // of 217 lines, a jockey file holding a trainer line.
  struct Case {
    const char* what;
    std::string relative;
    std::string bytes;
    std::function<void(StoreWriter&)> store;
  } cases[] = {
      {"zero-filled payouts", PayoutFilePath(kLabel), std::string(kHrLength * 3, '\0'),
       [](StoreWriter& w) { StorePayoutRecord(w, HrRecord({}), StoreMode::RealTime); }},
      {"short race line", RaceFilePath(kLabel),
       StoredLine(RaRecord({.race = 2})).substr(0, 900) + "\r\n",
       [](StoreWriter& w) { StoreRaceRecord(w, RaRecord({}), StoreMode::Accumulating); }},
      {"217 runner lines", RunnerFilePath(kLabel, "06"),
       JoinLines(std::vector<std::string>(217, std::string(kSeLength - 2, ' '))),
       [](StoreWriter& w) { StoreRunnerRecord(w, SeRecord({}), StoreMode::RealTime); }},
      {"trainer line in a jockey file", JockeyFilePath("01234"),
       StoredLine(test::ChRecord("01299", '1')) + "\r\n",
       [](StoreWriter& w) { StoreJockeyRecord(w, test::KsRecord("01234")); }},
  };
  for (const auto& c : cases) {
    home_.Write(RelativeStorePath(c.relative), c.bytes);
    try {
      c.store(writer_);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("壊れているため書き込みません"), std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find(Utf8Bytes(StoreFileName(c.relative))),
                std::string::npos);
    }
    writer_.Discard();
    EXPECT_EQ(home_.Read(RelativeStorePath(c.relative)), c.bytes) << c.what;
  }
}

}  // namespace
}  // namespace sorvix
