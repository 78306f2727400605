#include "support/BenchMain.h"

#include <utility>

namespace zorvan::bench {

benchmark::internal::Benchmark* RegisterTimed(const std::string& name,
                                              std::function<void(benchmark::State&)> body) {
    return benchmark::RegisterBenchmark(name.c_str(), std::move(body))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

int RunBenchmarks(int argc, char** argv, void (*registerAll)()) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace zorvan::bench
