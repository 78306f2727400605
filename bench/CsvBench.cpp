// CSV import and export benchmarks. Built with the project, run by hand:
//   build/default/bench/zorvan_csv_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/DataFiles.h"
#include "csv/CsvEngine.h"
#include "csv/CsvFormat.h"
#include "platform/Codepage.h"
#include "vault/Cipher.h"
#include "vault/CyrptFunction.h"

namespace zorvan {
namespace {

constexpr int kLines = 10000;

// A folder under the system's temporary folder, removed afterwards.
class BenchFolder {
public:
    explicit BenchFolder(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() / ("zorvan-csv-bench-" + name)) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        CyrptFunction::SetCipherKey(KeyBytes("bench").span());
    }
    ~BenchFolder() { std::filesystem::remove_all(folder_); }

    // An empty vault in a subfolder, replacing any earlier one.
    DataPaths FreshVault() const {
        std::filesystem::remove_all(folder_ / "vault");
        std::filesystem::create_directories(folder_ / "vault");
        return InitDataFiles(folder_ / "vault");
    }

    std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};

// kLines lines as an export writes them: Japanese text, quoted fields, a two-line memo.
std::filesystem::path WriteSampleCsv(const BenchFolder& folder) {
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        ItemRecord item;
        item.ItemName = "アイテム " + std::to_string(i);
        item.AccountID = "user" + std::to_string(i) + "@example.jp";
        item.AccountPass = "Pa\"ss," + std::to_string(i * 7919);
        item.RelatedURL = "https://example.jp/login?id=" + std::to_string(i);
        item.AccountMemo = "メモ\r\n2行目";
        item.Expire = i % 2;
        item.ExpireDate = 45292.0 + i;
        text += csv::FormatCsvLine(item) + "\r\n";
    }
    const auto file = folder / "sample.csv";
    const std::string bytes = codepage::ToAnsi(text);
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

// Importing 10,000 lines into a new group of an empty vault: read, parse, encipher,
// store, force to disk, one index write.
void BM_ImportCsv10kLines(benchmark::State& state) {
    BenchFolder folder("import");
    const auto file = WriteSampleCsv(folder);
    for (auto _ : state) {
        state.PauseTiming();
        CsvEngine engine(folder.FreshVault());
        state.ResumeTiming();
        if (!engine.ImportCsv(file, "Imported")) {
            state.SkipWithError(engine.lastError().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ImportCsv10kLines)->Unit(benchmark::kMillisecond);

// Exporting a group of 10,000 items into a new file.
void BM_ExportCsv10kItems(benchmark::State& state) {
    BenchFolder folder("export");
    CsvEngine engine(folder.FreshVault());
    if (!engine.ImportCsv(WriteSampleCsv(folder), "Big")) {
        state.SkipWithError(engine.lastError().c_str());
        return;
    }
    const auto out = folder / "out.csv";
    for (auto _ : state) {
        if (!engine.ExportCsv(out, "Big", false, false)) {
            state.SkipWithError(engine.lastError().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ExportCsv10kItems)->Unit(benchmark::kMillisecond);

// One line of the sample parsed into its seven values.
void BM_ParseCsvLine(benchmark::State& state) {
    const std::string line =
        "アイテム 1,user1@example.jp,\"Pa\"\"ss,7919\",https://example.jp/login?id=1,"
        "メモ\\r\\n2行目,1,2024/01/02";
    for (auto _ : state) {
        benchmark::DoNotOptimize(csv::ParseCsvLine(line, 45000.0));
    }
}
BENCHMARK(BM_ParseCsvLine);

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();
