// The scratch program folder a fuzz target works in: one temporary folder
// per process, made the ProgramFolder, and removed again when the process
// ends.
#pragma once

#include <filesystem>
#include <string_view>

namespace sorvix::fuzz {

// The folder, created (empty) on first use.
const std::filesystem::path& FuzzHome();

// Empties the folder and creates the store folders again.
void ResetFuzzHome();

// Writes `bytes` to `path`, creating its folders.
void WriteFuzzFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace sorvix::fuzz
