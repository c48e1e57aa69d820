// Downloaded records into the LocalStore: the input is cut into lines, each
// routed as one record (type, kind, date window, lengths decide where it
// goes), and the pending store files are then written.  Only IoError may end
// a routing; the store is emptied every few hundred inputs.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "acquisition/acquisition_routing.h"
#include "app/io_error.h"
#include "fuzz/fuzz_home.h"
#include "store/store_writer.h"

using namespace sorvix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int runs = 0;
  if (runs++ % 256 == 0) fuzz::ResetFuzzHome();

  std::string_view input(reinterpret_cast<const char*>(data), size);
  RoutingWindow window;
  window.fromYmd = 19900101;
  window.year15 = "1985";

  StoreWriter writer;
  try {
    int records = 0;
    while (!input.empty() && records++ < 64) {
      size_t end = input.find('\n');
      end = end == std::string_view::npos ? input.size() : end + 1;
      RouteAcquiredRecord(input.substr(0, end), window, writer);
      input.remove_prefix(end);
    }
    writer.Flush();
  } catch (const IoError&) {
  }
  return 0;
}
