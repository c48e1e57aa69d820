// The SaveMarkFile of a date: any bytes on disk read as the 648 mark bytes
// (short files padded with "0"), and writing those marks back reads back
// the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/io_error.h"
#include "app/program_folder.h"
#include "fuzz/fuzz_home.h"
#include "store/save_mark_file.h"
#include "store/store_paths.h"

using namespace sorvix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzHome();
  static const Cp932Text label =
      Cp932Text::FromBytes("\x32\x30\x32\x34\x94\x4e\x30\x35\x8c\x8e\x30\x35\x93\xfa");
  fuzz::WriteFuzzFile(HomePath(SaveMarkFilePath(label)),
                      std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    std::string marks = ReadSaveMarks(label);
    if (marks.size() != 648) std::abort();
    WriteSaveMarks(label, marks);
    if (ReadSaveMarks(label) != marks) std::abort();
  } catch (const Error&) {
  }
  return 0;
}
