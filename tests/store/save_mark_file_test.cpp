#include "store/save_mark_file.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/program_folder.h"
#include "codes/cp932.h"
#include "store/store_paths.h"
#include "support/temp_home.h"

namespace sorvix {
namespace {

TEST(SaveMarkFile, IsCreatedFilledWithZerosAndRoundTrips) {
  test::TempHome home;
  CreateStoreFolders();
  const Cp932Text label = Cp932("2008年01月05日");
  EXPECT_EQ(ReadSaveMarks(label), std::string(kSaveMarkBytes, '0'));
  EXPECT_EQ(home.Read(RelativeStorePath(SaveMarkFilePath(label))),
            std::string(kSaveMarkBytes, '0'));

  std::string marks(kSaveMarkBytes, '0');
  marks[0] = marks[647] = '1';
  WriteSaveMarks(label, marks);
  EXPECT_EQ(ReadSaveMarks(label), marks);
  EXPECT_THROW(WriteSaveMarks(label, "1"), std::invalid_argument);

  // A damaged, short file reads as if filled up with "0".
  home.Write(RelativeStorePath(SaveMarkFilePath(label)), "11");
  EXPECT_EQ(ReadSaveMarks(label), "11" + std::string(kSaveMarkBytes - 2, '0'));
}

}  // namespace
}  // namespace sorvix
