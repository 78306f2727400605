#pragma once

#include <string>
#include <vector>

namespace zorvan {

// The program's command-line arguments without its own name, as UTF-8. On Windows
// the raw command line is split by SplitCommandLine; elsewhere the shell has split it.
std::vector<std::string> ProgramArguments();

}  // namespace zorvan
