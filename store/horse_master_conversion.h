// Conversion of a horse master file of the older layout (UM records of 1577
// bytes, "\UMA\yyyy\<no>.jvUMA") into a HorseFile of the current layout
// (1609 bytes, "\UM2\yyyy\<no>.jvUM2").  The current layout widens three
// kinds of field by two bytes; their contents move right behind two blanks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sorvix {

// The 1607-byte line (without CR LF) of the current layout built from one
// old record (1577 bytes with CR LF; a shorter input reads as blanks).
std::string ConvertHorseMasterRecord(std::string_view oldRecord);

// Converts every whole record of `source` into a line of `target` (CP932,
// CR LF after each line) and replaces `target` atomically.  Returns false and
// writes nothing when the source does not exist or holds no whole record.
// Throws Error when a file cannot be read or written.
bool ConvertHorseMasterFile(const std::filesystem::path& source,
                            const std::filesystem::path& target);

}  // namespace sorvix
