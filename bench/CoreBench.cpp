// Storage core at scale: group loads, single-item changes, master password change,
// backup and peak memory in vaults of 1,000 to 100,000 items. Built with the
// project; bash scripts/bench.sh runs it and prints the table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/BenchMain.h"
#include "support/ScaleVault.h"
#include "vault/BackupFile.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/ItemStore.h"
#include "vault/MasterPasswordChange.h"
#include "vault/TextFile.h"
#include "vault/VaultCheck.h"

namespace zorvan::bench {
namespace {

using Body = std::function<void(benchmark::State&, ScaleVault&)>;

benchmark::internal::Benchmark* Register(std::string_view operation, Layout layout, int items,
                                         Body body) {
    return RegisterTimed(BenchName(operation, layout, items), [=](benchmark::State& state) {
        body(state, ScaleVault::Get(items, layout));
    });
}

std::vector<BlockNumber> GroupBlocks(const ScaleVault& vault) {
    return vault.vault().GroupBlocks(vault.biggestGroup());
}

// What the main window does on a group switch, less the window: the group's index
// line, then every record through one reader, all kept.
std::vector<ItemRecord> LoadGroup(const ScaleVault& vault) {
    const auto entry = vault.vault().GroupEntry(vault.biggestGroup());
    std::vector<ItemRecord> items;
    items.reserve(entry.size());
    auto reader = vault.vault().Reader();
    for (std::size_t i = 1; i < entry.size(); ++i) {
        if (const auto block = ParseBlockNumber(entry[i])) {
            items.push_back(reader.Load(*block));
        }
    }
    return items;
}

// A new item saved from the item dialog: stored, then put first on its group's line.
BlockNumber SaveNewItem(const ScaleVault& vault, int i) {
    return vault.vault().SaveItem(vault.biggestGroup(), SampleItem(i), kNoBlock);
}

// The item deleted as the main window deletes one: off the line, then freed.
void DeleteItem(const ScaleVault& vault, BlockNumber block) {
    vault.vault().DeleteItems(vault.biggestGroup(), std::span(&block, 1));
}

// Takes the benchmark's own items out again with one index rewrite.
void RemoveAdded(const ScaleVault& vault, const std::vector<BlockNumber>& added) {
    auto lines = textfile::ReadLines(vault.paths().strIdxFile);
    for (const BlockNumber block : added) {
        GroupIndex::ApplyUpdate(lines, vault.biggestGroup(), block, kNoBlock);
    }
    textfile::Rewrite(vault.paths().strIdxFile, textfile::JoinLines(lines));
    ItemStore store(vault.paths().strItmFile, vault.paths().strBmpFile);
    for (const BlockNumber block : added) {
        store.FreeItem(block);
    }
}

// Stores count new items and puts them first on the group's line in one rewrite.
void AddItems(const ScaleVault& vault, int from, int count) {
    ItemStore store(vault.paths().strItmFile, vault.paths().strBmpFile);
    std::vector<BlockNumber> added;
    for (int i = from; i < from + count; ++i) {
        const ItemRecord item = SampleItem(i);
        ItemPlaintext plain = BuildItemPlaintext(item);
        vault.vault().cipher().Encrypt(plain.bytes.span());
        added.push_back(
            store.StoreItem(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate));
    }
    auto lines = textfile::ReadLines(vault.paths().strIdxFile);
    GroupIndex::ApplyBatch(lines, vault.biggestGroup(), {}, added);
    textfile::Rewrite(vault.paths().strIdxFile, textfile::JoinLines(lines));
}

void GroupLoad(benchmark::State& state, ScaleVault& vault) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadGroup(vault));
    }
    state.counters["group_items"] = static_cast<double>(vault.biggestGroupItems());
}

void ItemStoreNew(benchmark::State& state, ScaleVault& vault) {
    std::vector<BlockNumber> added;
    for (auto _ : state) {
        added.push_back(SaveNewItem(vault, vault.items() + static_cast<int>(added.size())));
    }
    RemoveAdded(vault, added);
}

// Deletes an item from the middle of the line; untimed, a new one takes its place
// at the front so that the group keeps its size.
void ItemDelete(benchmark::State& state, ScaleVault& vault) {
    int next = vault.items();
    for (auto _ : state) {
        state.PauseTiming();
        const auto blocks = GroupBlocks(vault);
        const BlockNumber victim = blocks[blocks.size() / 2];
        state.ResumeTiming();
        DeleteItem(vault, victim);
        state.PauseTiming();
        SaveNewItem(vault, next++);
        state.ResumeTiming();
    }
}

// A selection of 1,000 rows spread over the group deleted at once; untimed, as many
// new ones take their places so that the group keeps its size.
void ItemDeleteMany(benchmark::State& state, ScaleVault& vault) {
    constexpr std::size_t kChosen = 1000;
    int next = vault.items();
    for (auto _ : state) {
        state.PauseTiming();
        const auto blocks = GroupBlocks(vault);
        std::vector<BlockNumber> chosen;
        for (std::size_t i = 0; i < kChosen && i < blocks.size(); ++i) {
            chosen.push_back(blocks[i * blocks.size() / std::min(kChosen, blocks.size())]);
        }
        state.ResumeTiming();
        vault.vault().DeleteItems(vault.biggestGroup(), chosen);
        state.PauseTiming();
        AddItems(vault, next, static_cast<int>(chosen.size()));
        next += static_cast<int>(chosen.size());
        state.ResumeTiming();
    }
}

// An item used (its password copied): read, then moved to the front of its line.
void ItemUse(benchmark::State& state, ScaleVault& vault) {
    const auto blocks = GroupBlocks(vault);
    std::size_t at = blocks.size() / 2;
    for (auto _ : state) {
        const BlockNumber block = blocks[at];
        at = (at + 7) % blocks.size();
        const ItemRecord item = vault.vault().UseItem(vault.biggestGroup(), block);
        benchmark::DoNotOptimize(item.AccountPass.data());
    }
}

void PasswordChange(benchmark::State& state, ScaleVault& vault) {
    for (auto _ : state) {
        const std::string next =
            vault.password() == "scale-bench" ? "scale-bench-2" : "scale-bench";
        vault.ChangePassword(next);
    }
}

void Backup(benchmark::State& state, ScaleVault& vault) {
    BackupHeader header;
    header.versionMajor = 0;
    header.versionMinor = 0;
    header.versionRevision = 5;
    header.date = 46000.5;
    header.comment = BackupFile::StoredComment("ベンチマーク");
    std::filesystem::path written;
    for (auto _ : state) {
        written = vault.vault().Backup("20260101-120000", header);
    }
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
}

// The consistency check every start-up runs over the whole vault.
void StartupCheck(benchmark::State& state, ScaleVault& vault) {
    for (auto _ : state) {
        const VaultCheck::Report report = vault.vault().Check();
        if (!report.Healthy()) {
            state.SkipWithError("the vault check found problems");
            break;
        }
    }
}

// Peak resident memory with the biggest group loaded, from what was in use before.
void PeakRss(benchmark::State& state, ScaleVault& vault) {
    ResetPeakRss();
    const double before = MaxRssMiB();
    for (auto _ : state) {
        const auto items = LoadGroup(vault);
        state.counters["max_rss_mb"] = MaxRssMiB();
        benchmark::DoNotOptimize(items.data());
    }
    state.counters["rss_before_mb"] = before;
}

void RegisterAll() {
    for (const int items : kScaleSizes) {
        for (const Layout layout : kLayouts) {
            Register("group_load", layout, items, GroupLoad);
            Register("startup_check", layout, items, StartupCheck);
        }
    }
    for (const int items : kScaleSizes) {
        for (const Layout layout : kLayouts) {
            Register("item_store", layout, items, ItemStoreNew);
            Register("item_delete", layout, items, ItemDelete);
            Register("item_use", layout, items, ItemUse);
        }
        Register("item_delete_many", Layout::kOneGroup, items, ItemDeleteMany);
    }
    for (const int items : kScaleSizes) {
        for (const Layout layout : kLayouts) {
            Register("password_change", layout, items, PasswordChange);
            Register("backup", layout, items, Backup);
        }
    }
    for (const Layout layout : kLayouts) {
        Register("peak_rss", layout, 100000, PeakRss)->Iterations(1);
    }
}

}  // namespace
}  // namespace zorvan::bench

int main(int argc, char** argv) {
    return zorvan::bench::RunBenchmarks(argc, argv, zorvan::bench::RegisterAll);
}
