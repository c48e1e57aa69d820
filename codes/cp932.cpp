#include "codes/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <utility>

namespace sorvix {
namespace {

// One converter per direction; iconv state is reset before every use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }

  // Converts `in`; each undecodable input byte is skipped and `bad` is
  // appended instead.  Returns false when any byte was replaced.
  bool Run(std::string_view in, std::string& out, std::string_view bad) {
    std::lock_guard<std::mutex> lock(mutex_);
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      out.assign(in);
      return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    bool clean = true;
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buffer[4096];
    while (left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a cut multibyte sequence): replace one byte.
        clean = false;
        out.append(bad);
        ++src;
        --left;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return clean;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& ToUtf8Converter() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}
Converter& ToCp932Converter() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

}  // namespace

std::string Utf8(Cp932View cp932) {
  std::string out;
  ToUtf8Converter().Run(cp932.bytes(), out, "\xEF\xBF\xBD");
  return out;
}

Cp932Text Cp932(std::string_view utf8) {
  std::string out;
  ToCp932Converter().Run(utf8, out, "?");
  return Cp932Text::FromBytes(std::move(out));
}

bool IsValidCp932(std::string_view cp932) {
  std::string out;
  return ToUtf8Converter().Run(cp932, out, "");
}

}  // namespace sorvix
