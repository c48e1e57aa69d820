// sorvix-cli: the program's core without a display.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
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
    } else if (arg.rfind("--home=", 0) == 0) {
      home = arg.substr(7);
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
