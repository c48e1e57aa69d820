#include "app/io_error.h"

#include <cerrno>
#include <cstring>

namespace sorvix {

void ThrowIoError(const std::string& what, const std::filesystem::path& path) {
  int err = errno;
  std::string message = what + ": " + path.string();
  if (err != 0) message += ": " + std::string(std::strerror(err));
  throw IoError(message);
}

}  // namespace sorvix
