// CSV import and export at scale: 1,000 to 100,000 lines or items. Built with the
// project; bash scripts/bench.sh runs it and prints the table.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "csv/CsvEngine.h"
#include "support/BenchMain.h"
#include "support/ScaleVault.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"
#include "vault/Vault.h"

namespace zorvan::bench {
namespace {

// The item at block 1 deleted as the main window deletes one, and a two-block item
// saved, which first fit puts in its place.
void ReplaceFirstItemByAShorterOne(Vault& vault, const std::string& group) {
    ItemRecord shorter;
    shorter.ItemName = "x";
    vault.SaveItem(group, shorter, 1);
}

// Importing n lines into a new group of an empty vault: read, parse, encipher,
// store, force to disk, one index rewrite.
void Import(benchmark::State& state, int lines) {
    ScratchFolder folder("csv-import-" + std::to_string(lines));
    const auto csvFile = folder / "sample.csv";
    WriteSampleCsv(csvFile, lines);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder / "vault");
        std::filesystem::create_directories(folder / "vault");
        Vault vault(InitDataFiles(folder / "vault"));
        vault.UseKeyOf("scale-bench");
        CsvEngine engine(vault);
        state.ResumeTiming();
        if (!engine.ImportCsv(csvFile, "インポート")) {
            state.SkipWithError(engine.lastError().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

// Importing n lines into the first group of a copy of the n-item groups20 vault,
// after one of its first items gave way to a shorter one: the hole left is too
// small for the imported records, as in a vault that has been in use for years.
void ImportIntoVault(benchmark::State& state, int lines) {
    ScaleVault& vault = ScaleVault::Get(lines, Layout::kGroups20);
    ScratchFolder folder("csv-import-into-" + std::to_string(lines));
    const auto csvFile = folder / "sample.csv";
    WriteSampleCsv(csvFile, lines);
    const auto copy = folder / "vault";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(copy);
        std::filesystem::copy(vault.paths().strItmFile.parent_path(), copy,
                              std::filesystem::copy_options::recursive);
        Vault copied(DataPaths::InFolder(copy));
        copied.UseKeyOf(vault.password());
        ReplaceFirstItemByAShorterOne(copied, vault.biggestGroup());
        CsvEngine engine(copied);
        state.ResumeTiming();
        if (!engine.ImportCsv(csvFile, vault.biggestGroup())) {
            state.SkipWithError(engine.lastError().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

// Exporting the vault's biggest group into a new file.
void Export(benchmark::State& state, int items, Layout layout) {
    ScaleVault& vault = ScaleVault::Get(items, layout);
    ScratchFolder folder("csv-export-" + std::to_string(items));
    CsvEngine engine(vault.vault());
    for (auto _ : state) {
        if (!engine.ExportCsv(folder / "out.csv", vault.biggestGroup(), false, false)) {
            state.SkipWithError(engine.lastError().c_str());
            break;
        }
    }
    state.counters["group_items"] = static_cast<double>(vault.biggestGroupItems());
}

void RegisterAll() {
    for (const int items : kScaleSizes) {
        RegisterTimed(BenchName("csv_import", Layout::kOneGroup, items),
                      [=](benchmark::State& state) { Import(state, items); });
        RegisterTimed(BenchName("csv_import", Layout::kGroups20, items),
                      [=](benchmark::State& state) { ImportIntoVault(state, items); });
    }
    for (const int items : kScaleSizes) {
        for (const Layout layout : kLayouts) {
            RegisterTimed(BenchName("csv_export", layout, items),
                          [=](benchmark::State& state) { Export(state, items, layout); });
        }
    }
}

}  // namespace
}  // namespace zorvan::bench

int main(int argc, char** argv) {
    return zorvan::bench::RunBenchmarks(argc, argv, zorvan::bench::RegisterAll);
}
