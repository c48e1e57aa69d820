// The one error type: its message from its parts, what ThrowIoError adds
// from errno, and how AsError turns any exception into one.
#include "common/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <stdexcept>

#include "app/io_error.h"

namespace sorvix {
namespace {

TEST(Error, MessageJoinsThePartsThatAreThere) {
  struct Case {
    const char* operation;
    const char* file;
    const char* reason;
    const char* message;
  } cases[] = {
      {"書き込めません", "/h/Data/a.ra", "ディスクの空き領域がありません",
       "書き込めません: /h/Data/a.ra: ディスクの空き領域がありません"},
      {"書き込めません", "/h/Data/a.ra", "", "書き込めません: /h/Data/a.ra"},
      {"メモリが足りません", "", "", "メモリが足りません"},
  };
  for (const Case& c : cases) {
    Error error(c.operation, c.file, c.reason, Error::Kind::Damaged);
    EXPECT_STREQ(error.what(), c.message);
    EXPECT_EQ(error.file(), c.file);
    EXPECT_EQ(error.reason(), c.reason);
    EXPECT_EQ(error.kind(), Error::Kind::Damaged);
  }
}

TEST(Error, ThrowIoErrorNamesTheFileAndTheSystemsReason) {
  errno = ENOSPC;
  try {
    ThrowIoError("書き込めません", "/h/sorvix.ini");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "書き込めません: /h/sorvix.ini: ディスクの空き領域がありません");
    EXPECT_EQ(e.kind(), Error::Kind::Io);
  }
}

TEST(Error, AsErrorKeepsAnErrorAndGivesOtherExceptionsJapaneseOrTheirText) {
  EXPECT_EQ(AsError(Error("使用中です", Error::Kind::Busy)).kind(), Error::Kind::Busy);
  EXPECT_STREQ(AsError(std::bad_alloc()).what(), "メモリが足りません");
  EXPECT_STREQ(AsError(std::runtime_error("x")).what(), "x");
}

}  // namespace
}  // namespace sorvix
