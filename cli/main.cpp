// sorvix-cli: the program's core without a display.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "app/error_log.h"
#include "app/io_error.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "cli/command_registry.h"

namespace {

void PrintHelp() {
  std::printf("使い方: sorvix-cli [--home DIR] COMMAND [ARGS]\n\n");
  for (const auto& [name, info] : sorvix::cli::Commands())
    std::printf("  %s\n", info.usage.c_str());
  std::printf(
      "\n--home DIR はデータフォルダ（ProgramFolder）を指定します。\n"
      "省略時は環境変数 SORVIX_HOME、なければ実行ファイルのフォルダです。\n"
      "\n終了コード: 0 成功、1 失敗（理由は標準エラーに「sorvix-cli: 」に続けて表示）、\n"
      "2 引数の誤り（不明なコマンドやオプション、値の誤り）。\n");
}

// The reason of the first write to standard output that failed.
int stdoutError = 0;

ssize_t WriteStdout(void*, const char* bytes, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(STDOUT_FILENO, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (stdoutError == 0) stdoutError = errno;
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

// Standard output through a stream that keeps the reason of a failed write
// (stdio forgets it), buffered as before.
void KeepStdoutErrors() {
  cookie_io_functions_t io{};
  io.write = WriteStdout;
  std::FILE* out = ::fopencookie(nullptr, "w", io);
  if (!out) return;
  std::setvbuf(out, nullptr, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, BUFSIZ);
  stdout = out;
}

// Standard output is written through a buffer: a failed write (a full disk,
// /dev/full, a file-size limit) may only show when the buffer is flushed.
// Flushes and closes it, and turns a failure into exit status 1 with the
// reason.
int FinishOutput(int code) {
  errno = 0;
  bool failed = std::fflush(stdout) != 0;
  int err = stdoutError != 0 ? stdoutError : errno;
  failed = failed || std::ferror(stdout);
  if (!failed) {
    errno = 0;
    failed = std::fclose(stdout) != 0;
    err = stdoutError != 0 ? stdoutError : errno;
  }
  if (!failed) return code;
  std::fprintf(stderr, "sorvix-cli: 標準出力に書き込めません: %s\n",
               err != 0 ? sorvix::SystemReason(err).c_str() : "書き込みに失敗しました");
  return code == 0 ? 1 : code;
}

int Run(int argc, char** argv) {
  std::string home;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--home") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "sorvix-cli: --home の値がありません\n");
        return 2;
      }
      home = argv[++i];
      if (home.empty()) {
        std::fprintf(stderr, "sorvix-cli: --home の値が空です\n");
        return 2;
      }
    } else if (arg.rfind("--home=", 0) == 0) {
      home = arg.substr(7);
      if (home.empty()) {
        std::fprintf(stderr, "sorvix-cli: --home の値が空です\n");
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      PrintHelp();
      return 0;
    } else {
      args.push_back(arg);
    }
  }
  if (args.empty() || args[0] == "help") {
    PrintHelp();
    return args.empty() ? 2 : 0;
  }
  try {
    auto& commands = sorvix::cli::Commands();
    auto it = commands.find(args[0]);
    if (it == commands.end()) {
      std::fprintf(stderr, "sorvix-cli: 不明なコマンドです: %s（--help で一覧）\n",
                   args[0].c_str());
      return 2;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    std::string problem = sorvix::cli::CheckOptions(it->second, rest);
    if (!problem.empty()) {
      std::fprintf(stderr, "sorvix-cli: %s\n使い方: sorvix-cli %s\n", problem.c_str(),
                   it->second.usage.c_str());
      return 2;
    }
    if (sorvix::ProgramFolder::Resolve(home, argv[0]))
      std::fprintf(stderr, "sorvix-cli: データフォルダを作成しました: %s\n",
                   sorvix::ProgramFolder::Get().c_str());
    // A settings file that is there but cannot be read would silently turn
    // every setting to its default.
    try {
      sorvix::SettingsFile().CheckReadable();
    } catch (const sorvix::Error& e) {
      std::fprintf(stderr, "sorvix-cli: 設定ファイルを読み込めません: %s\n", e.what());
      return 1;
    }
    // The log is kept to its newest lines, as the window program keeps it
    // at its start; a log that cannot be read is reported where it is written.
    try {
      sorvix::ErrorLog().Trim();
    } catch (const sorvix::Error&) {
    }
    return it->second.run(rest);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "sorvix-cli: メモリが足りないため中止しました\n");
    return 1;
  } catch (const std::exception& e) {
    // Every failure of the core is an Error with its Japanese message.
    std::fprintf(stderr, "sorvix-cli: %s\n", sorvix::AsError(e).what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit then fails with EFBIG and is reported
  // like any other failed write, instead of ending the program silently.
  std::signal(SIGXFSZ, SIG_IGN);
  KeepStdoutErrors();
  return FinishOutput(Run(argc, argv));
}
