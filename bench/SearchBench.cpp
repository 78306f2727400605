// Passes over the whole vault for the tools: find-as-you-type (building the search
// index, the query each keystroke runs, keeping an edit) and the password report,
// in vaults of 1,000 to 100,000 items. bash scripts/bench.sh runs it with the others.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/BenchMain.h"
#include "support/ScaleVault.h"
#include "tools/SearchIndex.h"
#include "tools/VaultReport.h"

namespace zorvan::bench {
namespace {

// The rows the find window shows at most.
constexpr std::size_t kShown = 200;

// Each prefix of an ID typed into the box, one keystroke at a time. The first few
// match every item (the query stops at the shown rows), the last ones a single item
// near the end: a scan of the whole index.
std::vector<std::string> Keystrokes(int items) {
    const std::string typed = "USER" + std::to_string(items - 1) + "@example";
    std::vector<std::string> prefixes;
    for (std::size_t length = 1; length <= typed.size(); ++length) {
        prefixes.push_back(typed.substr(0, length));
    }
    return prefixes;
}

void Build(benchmark::State& state, int items) {
    const ScaleVault& vault = ScaleVault::Get(items, Layout::kGroups20);
    std::size_t bytes = 0;
    ResetPeakRss();
    const double before = MaxRssMiB();
    for (auto _ : state) {
        const SearchIndex index(vault.vault());
        bytes = index.MemoryBytes();
        benchmark::DoNotOptimize(index.size());
    }
    state.counters["index_mib"] = static_cast<double>(bytes) / (1 << 20);
    // What building needs at its peak (the vault's reader included) over what the
    // process held before.
    state.counters["peak_gain_mib"] = MaxRssMiB() - before;
    state.counters["bytes_per_item"] = static_cast<double>(bytes) / items;
}

// The time per keystroke averaged over the typing; the slowest keystroke apart.
// After an edit the index is no longer in result order, so that queries collect
// every hit and sort them: the first keystrokes then cost most.
void Query(benchmark::State& state, int items, bool edited) {
    const ScaleVault& vault = ScaleVault::Get(items, Layout::kGroups20);
    SearchIndex index(vault.vault());
    if (edited) {
        const std::string& group = vault.biggestGroup();
        const BlockNumber block = vault.vault().GroupBlocks(group).back();
        index.Update(group, block, block, SampleItem(items));
    }
    const auto keystrokes = Keystrokes(items);
    std::vector<std::vector<double>> times(keystrokes.size());
    std::size_t next = 0;
    std::size_t lastHits = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto hits = index.Find(keystrokes[next], kShown);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        times[next].push_back(ms);
        lastHits = hits.size();
        benchmark::DoNotOptimize(hits.data());
        next = (next + 1) % keystrokes.size();
    }
    // Each keystroke's median, so that a moment the machine was busy elsewhere does
    // not count as the query's own time.
    double slowest = 0;
    for (auto& samples : times) {
        if (!samples.empty()) {
            std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
            slowest = std::max(slowest, samples[samples.size() / 2]);
        }
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["last_hits"] = static_cast<double>(lastHits);
}

// One item saved from the item dialog, kept in the index without a rebuild; the
// occasional compaction included.
void UpdateItem(benchmark::State& state, int items) {
    const ScaleVault& vault = ScaleVault::Get(items, Layout::kGroups20);
    SearchIndex index(vault.vault());
    const std::string& group = vault.biggestGroup();
    const auto blocks = vault.vault().GroupBlocks(group);
    std::size_t at = 0;
    for (auto _ : state) {
        const BlockNumber block = blocks[at];
        at = (at + 7) % blocks.size();
        index.Update(group, block, block, SampleItem(items + static_cast<int>(at)));
    }
}

// The report rates every password; the expiry figures after login read every item.
void Report(benchmark::State& state, int items) {
    const ScaleVault& vault = ScaleVault::Get(items, Layout::kGroups20);
    for (auto _ : state) {
        const VaultReport report(vault.vault(), 46000.0, 14);
        benchmark::DoNotOptimize(report.weak().size());
    }
}

void CountExpiry(benchmark::State& state, int items) {
    const ScaleVault& vault = ScaleVault::Get(items, Layout::kGroups20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(VaultReport::CountExpiry(vault.vault(), 46000.0, 14));
    }
}

void RegisterAll() {
    for (const int items : kScaleSizes) {
        RegisterTimed(BenchName("search_build", Layout::kGroups20, items),
                      [=](benchmark::State& state) { Build(state, items); });
        RegisterTimed(BenchName("vault_report", Layout::kGroups20, items),
                      [=](benchmark::State& state) { Report(state, items); });
        RegisterTimed(BenchName("expiry_count", Layout::kGroups20, items),
                      [=](benchmark::State& state) { CountExpiry(state, items); });
        RegisterTimed(BenchName("search_update", Layout::kGroups20, items),
                      [=](benchmark::State& state) { UpdateItem(state, items); });
        for (const bool edited : {false, true}) {
            const char* name = edited ? "search_query_edited" : "search_query";
            RegisterTimed(BenchName(name, Layout::kGroups20, items),
                          [=](benchmark::State& state) { Query(state, items, edited); });
        }
    }
}

}  // namespace
}  // namespace zorvan::bench

int main(int argc, char** argv) {
    return zorvan::bench::RunBenchmarks(argc, argv, zorvan::bench::RegisterAll);
}
