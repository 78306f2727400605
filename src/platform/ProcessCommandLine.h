#pragma once

#include <cstddef>
#include <string>

namespace zorvan {

#ifdef _WIN32
// The process's command line as Windows keeps it (GetCommandLineW), the program's
// name included, as UTF-8. Other processes of the user can read it.
std::string ProcessCommandLine();

// Overwrites the characters at UTF-8 offsets [begin, end) of ProcessCommandLine()
// with blanks in both buffers Windows keeps: the wide one, which is the one other
// processes read, and the ANSI one of GetCommandLineA (the C runtime's too).
void BlankProcessCommandLine(std::size_t begin, std::size_t end);
#endif

}  // namespace zorvan
