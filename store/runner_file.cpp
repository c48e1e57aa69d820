#include "store/runner_file.h"

namespace sorvix {

std::vector<std::string> BlankRunnerLines() {
  return std::vector<std::string>(kRunnerFileLines, std::string(kRunnerLineWidth, ' '));
}

int RunnerLineIndex(int race, int horse) {
  if (race < 1 || race > kRunnerRaces || horse < 1 || horse > 18) return -1;
  return (race - 1) * 18 + horse - 1;
}

void CompleteRunnerLines(std::vector<std::string>& lines) {
  while (lines.size() < static_cast<size_t>(kRunnerFileLines))
    lines.emplace_back(kRunnerLineWidth, ' ');
}

}  // namespace sorvix
