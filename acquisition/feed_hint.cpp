#include "acquisition/feed_hint.h"

namespace sorvix {

std::string EmptyFeedHint(const std::filesystem::path& feedFolder) {
  return "JVデータはフィードフォルダ " + feedFolder.string() +
         " から取り込みます。JV-Link のある Windows で sorvix-jvdump.exe --out "
         "<このフォルダ> を実行するとデータが入ります。";
}

}  // namespace sorvix
