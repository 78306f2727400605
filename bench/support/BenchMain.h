#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace zorvan::bench {

// Registers the program's benchmarks through registerAll, then runs those the
// command line selects; the body of every benchmark program's main.
int RunBenchmarks(int argc, char** argv, void (*registerAll)());

// A benchmark timed by the wall clock in milliseconds, as the table shows them.
benchmark::internal::Benchmark* RegisterTimed(const std::string& name,
                                              std::function<void(benchmark::State&)> body);

}  // namespace zorvan::bench
