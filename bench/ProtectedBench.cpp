// The protected format at scale: opening (the key derivation included, at the
// parameters calibrated on this machine), a change to one item (written whole and
// forced to disk), and the upgrade itself, in vaults of 1,000 to 100,000 items.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "support/BenchMain.h"
#include "support/ScaleVault.h"
#include "vault/SealedFile.h"

namespace zorvan::bench {
namespace {

constexpr std::string_view kPassword = "保護形式のベンチマーク用パスワード";

// The scale vault's copy, upgraded once with the calibrated parameters.
class ProtectedVault {
public:
    static ProtectedVault& Get(int items) {
        static std::map<int, std::unique_ptr<ProtectedVault>> made;
        auto& slot = made[items];
        if (!slot) {
            slot.reset(new ProtectedVault(items));
        }
        return *slot;
    }

    const DataPaths& paths() const { return paths_; }
    Vault& vault() { return *vault_; }
    const std::string& group() const { return group_; }
    double upgradeMs() const { return upgradeMs_; }

private:
    explicit ProtectedVault(int items) : folder_("protected-" + std::to_string(items)) {
        const ScaleVault& legacy = ScaleVault::Get(items, Layout::kGroups20);
        std::filesystem::copy(legacy.paths().strIniFile.parent_path(), folder_.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        paths_ = DataPaths::InFolder(folder_.path());
        group_ = legacy.biggestGroup();
        vault_ = std::make_unique<Vault>(paths_);
        vault_->Open(legacy.password());
        const KdfParams kdf = sealed::Calibrate(0.5);
        const auto start = std::chrono::steady_clock::now();
        vault_->Upgrade(kPassword, kdf);
        upgradeMs_ =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }

    ScratchFolder folder_;
    DataPaths paths_;
    std::string group_;
    std::unique_ptr<Vault> vault_;
    double upgradeMs_ = 0;
};

void Open(benchmark::State& state, int items) {
    ProtectedVault& sealedVault = ProtectedVault::Get(items);
    for (auto _ : state) {
        Vault vault(sealedVault.paths());
        if (!vault.Open(kPassword)) {
            state.SkipWithError("the protected vault did not open");
            return;
        }
        benchmark::DoNotOptimize(vault.GroupNames());
    }
}

// The item dialog's OK on an existing item: the whole file sealed anew and synced.
void EditItem(benchmark::State& state, int items) {
    ProtectedVault& sealedVault = ProtectedVault::Get(items);
    Vault& vault = sealedVault.vault();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const BlockNumber old = vault.GroupBlocks(sealedVault.group()).back();
        ItemRecord item = vault.LoadItem(old);
        item.AccountPass = "changed-" + std::to_string(++round);
        state.ResumeTiming();
        vault.SaveItem(sealedVault.group(), item, old);
    }
}

void Upgrade(benchmark::State& state, int items) {
    for (auto _ : state) {
        state.SetIterationTime(ProtectedVault::Get(items).upgradeMs() / 1000.0);
    }
}

void RegisterAll() {
    for (const int items : kScaleSizes) {
        const auto name = [&](std::string_view operation) {
            return BenchName(operation, Layout::kGroups20, items);
        };
        RegisterTimed(name("protected_open"), [items](benchmark::State& s) {
            Open(s, items);
        })->Iterations(3);
        RegisterTimed(name("protected_item_edit"),
                      [items](benchmark::State& s) { EditItem(s, items); });
        benchmark::RegisterBenchmark(name("protected_upgrade").c_str(),
                                     [items](benchmark::State& s) { Upgrade(s, items); })
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    }
}

}  // namespace
}  // namespace zorvan::bench

int main(int argc, char** argv) {
    return zorvan::bench::RunBenchmarks(argc, argv, zorvan::bench::RegisterAll);
}
