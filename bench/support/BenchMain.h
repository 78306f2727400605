#pragma once

namespace zorvan::bench {

// Registers the program's benchmarks through registerAll, then runs those the
// command line selects; the body of every benchmark program's main.
int RunBenchmarks(int argc, char** argv, void (*registerAll)());

}  // namespace zorvan::bench
