// The commands of sorvix-cli.  Each takes the arguments after its name and
// returns the process exit code; texts are printed as UTF-8.
#pragma once

#include <string>
#include <vector>

namespace sorvix::cli {

int Run(const std::vector<std::string>& args);

int Dates(const std::vector<std::string>& args);

}  // namespace sorvix::cli
