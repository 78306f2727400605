#pragma once

#include <compare>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vault/BlockNumber.h"
#include "vault/DataFiles.h"
#include "vault/ItemRecord.h"
#include "vault/Vault.h"

// Large vaults for the scale benchmarks, built through the storage core's batch
// path (one write per record, one index rewrite) so that even 100,000 items take
// only a moment. Benchmarks are named "<operation>/<layout>/<items>".
namespace zorvan::bench {

enum class Layout {
    kGroups20,  // the items dealt round-robin over 20 groups
    kOneGroup,  // all items in one group
};

inline constexpr int kGroupCount = 20;
inline constexpr int kScaleSizes[] = {1000, 10000, 100000};
inline constexpr Layout kLayouts[] = {Layout::kGroups20, Layout::kOneGroup};

// "groups20" or "onegroup".
std::string_view LayoutName(Layout layout);

// "<operation>/<layout>/<items>".
std::string BenchName(std::string_view operation, Layout layout, int items);

// The i-th sample item: Japanese name, mail-like ID, a password with a quote and a
// comma, a URL, a two-line memo; every other item expires.
ItemRecord SampleItem(int i);

// Writes n sample items as CSV lines (code page 932, CR LF), as an export would.
void WriteSampleCsv(const std::filesystem::path& file, int lines);

// A folder under the system's temporary folder, removed with its content when the
// object goes away.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// What a benchmark needs of its vault besides the items.
struct VaultExtras {
    // An empty group after the items' groups, to switch from.
    bool emptyGroup = false;
    // The settings name the biggest group as the one shown last, as a closed
    // session leaves them.
    bool lastGroupSetting = false;
    // Built in a child process (where there is fork), so that the memory building
    // needs never counts towards this process's peak. Ask for such a vault before
    // any thread starts.
    bool buildInChild = false;

    auto operator<=>(const VaultExtras&) const = default;
};

// A vault of a given size and layout in its own temporary folder, built on first
// use and kept until the process ends. Benchmarks that change it leave it with the
// same items (and the same number of them) in every group.
class ScaleVault {
public:
    // The vault, built when first asked for, and open.
    static ScaleVault& Get(int items, Layout layout, VaultExtras extras = {});

    const DataPaths& paths() const noexcept { return paths_; }
    int items() const noexcept { return items_; }
    Layout layout() const noexcept { return layout_; }
    // Group names in index order; groups20 has "グループ01" to "グループ20", then
    // the empty group "空" when asked for.
    const std::vector<std::string>& groups() const noexcept { return groups_; }
    // The group holding the most items (the first of equals), and how many.
    const std::string& biggestGroup() const noexcept { return groups_.front(); }
    std::size_t biggestGroupItems() const noexcept { return biggestItems_; }

    // The master password the vault opens with now; the settings file holds its
    // check value, so the program itself can open the vault with it.
    const std::string& password() const noexcept { return password_; }
    // The vault, open with password(); what the windows call.
    Vault& vault() const { return *vault_; }
    // Changes the master password through the vault and remembers the new one.
    void ChangePassword(std::string newPassword);

    ~ScaleVault();
    ScaleVault(const ScaleVault&) = delete;
    ScaleVault& operator=(const ScaleVault&) = delete;

private:
    ScaleVault(int items, Layout layout, VaultExtras extras);
    void Build();
    void BuildInChild();

    int items_;
    Layout layout_;
    VaultExtras extras_;
    std::filesystem::path folder_;
    DataPaths paths_;
    std::vector<std::string> groups_;
    std::size_t biggestItems_ = 0;
    std::string password_ = "scale-bench";
    std::unique_ptr<Vault> vault_;
};

// Peak resident memory of this process so far, in MiB (getrusage).
double MaxRssMiB();

// Lets the next MaxRssMiB start from the memory in use now, where the system
// allows it (Linux), so that one benchmark's peak does not hide the next one's.
void ResetPeakRss();

}  // namespace zorvan::bench
