#include "acquisition/realtime_fetch.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "app/home_lock.h"
#include "app/io_error.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"
#include "codes/jv_result_message.h"
#include "codes/text.h"
#include "common/record_fields.h"
#include "store/race_day.h"
#include "store/record_checks.h"
#include "store/record_store.h"
#include "store/store_paths.h"
#include "store/store_writer.h"
#include "store/stored_line.h"

namespace sorvix {
namespace {

constexpr int kReadBufferSize = 60000;

// Routes one received record; returns the stored file's name or empty, with
// `skipped` saying why a record of a stored type was not stored.
std::string Store(StoreWriter& writer, std::string_view record, std::string& skipped) {
  std::string_view type = Field(record, jv::kRecordType);
  if (type != "RA" && type != "SE" && type != "HR") return {};
  if (!IsWholeRecord(record)) {
    skipped = "長さが正しくありません（" + std::to_string(record.size()) + " バイト）";
    return {};
  }
  int race = FieldInt(record, race_record::kRaceNumber);
  if (race <= 0) return {};
  if (auto problem = RaceKeyProblem(record)) {
    skipped = *problem;
    return {};
  }
  if (type == "RA") {
    int runners = FieldInt(record, ra::kRunners);
    if (runners < 1 || runners > 18) return {};
    return StoreRaceRecord(writer, record, StoreMode::RealTime);
  }
  if (type == "SE") {
    int horse = FieldInt(record, se::kHorseNumber);
    if (horse < 1 || horse > 18) return {};
    return StoreRunnerRecord(writer, record, StoreMode::RealTime);
  }
  if (type == "HR") return StorePayoutRecord(writer, record, StoreMode::RealTime);
  return {};
}

}  // namespace

void RealtimeFetch::Label(Cp932Text text) {
  label_ = std::move(text);
  observer_.OnLabel(label_);
}

void RealtimeFetch::LogError(Cp932View text) {
  try {
    log_.AppendError(clock_(), text);
  } catch (const std::exception& e) {
    observer_.OnError(AsError(e));
  }
}

RealtimeFetchOutcome RealtimeFetch::FetchResults(RaceDay& day, int selectedSlot) {
  RealtimeFetchOutcome outcome;
  if (day.RaceListRows <= 0 || day.LoadedDate.empty()) return outcome;
  std::string key(day.RaRec[0].Field(ra::kDate));
  if (ReadNumber(key) <= 0) return outcome;

  cancel_ = false;
  Label(Cp932("ﾚｰｽ情報データ取得中"));
  observer_.ProcessEvents();

  outcome.started = true;
  int r = link_.JVRTOpen("0B12", key);
  if (r != 0) {
    observer_.OnBeep();
    int sel = selectedSlot >= 0 && selectedSlot < kRaceSlots ? selectedSlot : 0;
    const RaImage& ra = day.RaRec[sel];
    Label(VenueName(ra.Field(ra::kVenueCode)) +
          Cp932View::FromBytes(PadNumber(ra.Field(ra::kRaceNumber))) +
          Cp932("R:ﾚｰｽ情報データ取得エラー：") + JvResultMessage("JVRTOpen", r));
    LogError(label_);
    Close();
    outcome.failed = true;
  } else {
    if (!Read(outcome)) outcome.failed = true;
    if (!Close()) outcome.failed = true;
  }

  Label({});
  observer_.ProcessEvents();
  if (!Close()) outcome.failed = true;

  if (!outcome.failed) {
    try {
      outcome.payouts =
          ImportPayouts(day, Cp932Text(day.LoadedLabel()), RaceLines::Reread, selectedSlot);
      outcome.payoutsImported = true;
    } catch (const std::exception& e) {
      observer_.OnError(AsError(e));
      outcome.failed = true;
    }
  }
  return outcome;
}

bool RealtimeFetch::Read(RealtimeFetchOutcome& outcome) {
  std::optional<HomeLock> lock;
  try {
    lock.emplace(HomeLock::Acquire(std::chrono::milliseconds::zero()));
  } catch (const sorvix::Error& busy) {
    if (busy.kind() != sorvix::Error::Kind::Busy) throw;
    if (!observer_.WaitForOtherWriter(busy.what())) {
      observer_.OnError(busy);
      return false;
    }
    lock.emplace(HomeLock::Acquire(HomeLock::kForever));
  }
  // What a killed fetch left behind is nobody's now.
  RemoveStaleStoreTempFiles();
  StoreWriter writer;
  std::string buffer;
  std::string fileName;
  bool ok = true;
  try {
    for (;;) {
      observer_.ProcessEvents();
      if (cancel_) break;
      int r = link_.JVRead(buffer, kReadBufferSize, fileName);
      if (r == 0) break;
      if (r == -1 || r == -2 || r == -3) continue;
      if (r < -3) {
        LogError(label_);
        ok = false;
        break;
      }
      if (static_cast<size_t>(r) < buffer.size()) buffer.resize(static_cast<size_t>(r));
      std::string skipped;
      std::string name = Store(writer, buffer, skipped);
      if (!skipped.empty())
        observer_.OnSkippedRecord(ShownField(Field(buffer, jv::kRecordType)), skipped,
                                  Cp932View::FromBytes(fileName));
      if (!name.empty())
        outcome.stored.push_back(
            Cp932Text::FromBytes(std::string(Field(buffer, jv::kRecordType)) + " " + name));
    }
    writer.Flush();
  } catch (const std::exception& e) {
    writer.Discard();
    observer_.OnError(AsError(e));
    ok = false;
  }
  return ok;
}

bool RealtimeFetch::Close() {
  int r = link_.JVClose();
  if (r != 0) {
    Label(JvResultMessage("JVClose", r));
    LogError(label_);
    return false;
  }
  observer_.OnBeep();
  return true;
}

}  // namespace sorvix
