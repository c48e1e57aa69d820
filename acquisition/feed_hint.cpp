#include "acquisition/feed_hint.h"

namespace sorvix {

std::string EmptyFeedHint(const std::filesystem::path& feedFolder) {
  return "取込元はフィードフォルダ " + feedFolder.string() +
         " です。JV-Link のある Windows で sorvix-jvdump.exe --out を実行して入れてください。";
}

}  // namespace sorvix
