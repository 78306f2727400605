// Storage core benchmarks. Built with the project, run by hand:
//   build/default/bench/zorvan_core_bench
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/DataFiles.h"
#include "app/TextFile.h"
#include "vault/CyrptFunction.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/ItemStore.h"

namespace zorvan {
namespace {

// A vault folder under the system's temporary folder, removed afterwards.
class BenchVault {
public:
    explicit BenchVault(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() / ("zorvan-bench-" + name)) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        paths_ = InitDataFiles(folder_);
        CyrptFunction::SetCipherKey(KeyBytes("bench").span());
    }
    ~BenchVault() { std::filesystem::remove_all(folder_); }

    // Writes n items straight into the files (one write each), all in one group.
    std::vector<BlockNumber> Fill(int n, const std::string& group) {
        std::string itm;
        std::vector<BlockNumber> blocks;
        std::string line = group + "#0";
        for (int i = 0; i < n; ++i) {
            ItemRecord item;
            item.ItemName = "アイテム " + std::to_string(i);
            item.AccountID = "user" + std::to_string(i) + "@example.jp";
            item.AccountPass = "Pass-" + std::to_string(i * 7919);
            item.RelatedURL = "https://example.jp/login";
            item.AccountMemo = "メモ\r\n2行目";
            ItemPlaintext plain = BuildItemPlaintext(item);
            CyrptFunction::EncryptBytes(plain.bytes.span());
            const auto block = static_cast<BlockNumber>(itm.size() / 16 + 1);
            char header[16] = {};
            std::memcpy(header, &plain.count, 4);
            itm.append(header, 16);
            itm.append(reinterpret_cast<const char*>(plain.bytes.data()), plain.bytes.size());
            blocks.push_back(block);
        }
        for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
            line += "\t" + std::to_string(*it);
        }
        const std::size_t usedBlocks = itm.size() / 16;
        std::string bmp(usedBlocks / 8, '\xFF');
        if (usedBlocks % 8 != 0) {
            bmp += static_cast<char>((1u << (usedBlocks % 8)) - 1);
        }
        Write(paths_.strItmFile, itm);
        Write(paths_.strBmpFile, bmp);
        textfile::Rewrite(paths_.strIdxFile, line);
        return blocks;
    }

    const DataPaths& paths() const { return paths_; }

private:
    static void Write(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path folder_;
    DataPaths paths_;
};

void BM_CipherEncrypt(benchmark::State& state) {
    const Cipher cipher(KeyBytes("benchmark").span());
    std::vector<std::uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        cipher.Encrypt(data);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CipherEncrypt)->Arg(1 << 20);

void BM_CipherDecrypt(benchmark::State& state) {
    const Cipher cipher(KeyBytes("benchmark").span());
    std::vector<std::uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        cipher.Decrypt(data);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CipherDecrypt)->Arg(1 << 20);

// One StoreItem (bitmap scan, two writes, two fsyncs) into a vault whose bitmap
// has 100,000 blocks in use.
void BM_StoreItemInto100kBlocks(benchmark::State& state) {
    BenchVault vault("store");
    vault.Fill(50000, "Bulk");  // 2 blocks each
    ItemStore store(vault.paths().strItmFile, vault.paths().strBmpFile);
    ItemRecord item;
    item.ItemName = "新規アイテム";
    item.AccountPass = "Ab3-xY9_";
    ItemPlaintext plain = BuildItemPlaintext(item);
    CyrptFunction::EncryptBytes(plain.bytes.span());
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.StoreItem(plain.bytes.span(), plain.count, 0, 0));
    }
}
BENCHMARK(BM_StoreItemInto100kBlocks)->Unit(benchmark::kMicrosecond);

// A group of 10,000 items read as a group load does: its index line, then each record.
void BM_LoadGroupOf10kItems(benchmark::State& state) {
    BenchVault vault("group");
    vault.Fill(10000, "Big");
    GroupIndex index(vault.paths().strIdxFile);
    for (auto _ : state) {
        const auto line = index.GetGroupItems("Big");
        ItemReader reader(vault.paths().strItmFile);
        std::size_t loaded = 0;
        for (std::size_t i = 1; i < line.size(); ++i) {
            const ItemRecord item = reader.Load(*ParseBlockNumber(line[i]));
            loaded += item.ItemName.size();
        }
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_LoadGroupOf10kItems)->Unit(benchmark::kMillisecond);

// Moving an item to the front of a 10,000-item line rewrites the index.
void BM_UpdateGroupLine10k(benchmark::State& state) {
    BenchVault vault("index");
    const auto blocks = vault.Fill(10000, "Big");
    GroupIndex index(vault.paths().strIdxFile);
    for (auto _ : state) {
        index.UpdateGroupLine("Big", blocks[5000], blocks[5000]);
    }
}
BENCHMARK(BM_UpdateGroupLine10k)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();
