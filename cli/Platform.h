#pragma once

// What the converter needs of the platform, at its edges: the arguments and file names
// are UTF-8 inside the program on every platform.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quillery {

// The arguments after the program's name, in UTF-8. On Windows they are taken from the
// UTF-16 command line, not from `argv`, which holds only what the ANSI code page can;
// nothing when one of them is not valid UTF-16 (an unpaired surrogate).
std::optional<std::vector<std::string>> CommandLineArguments(int argc, char** argv);

// Standard input, output and error pass bytes unchanged: no CR LF translation, no Ctrl+Z
// at the end of the input on Windows. Nothing to do elsewhere.
void UseBinaryStandardStreams();

// Opens a file named in UTF-8 for reading bytes; on Windows by its wide name, so that any
// name opens, not only those of the ANSI code page.
std::FILE* OpenInputFile(const std::string& path);

}  // namespace quillery
