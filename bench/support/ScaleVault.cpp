#include "support/ScaleVault.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "csv/CsvFormat.h"
#include "platform/Codepage.h"
#include "vault/Cipher.h"
#include "vault/RecordBatch.h"
#include "vault/Settings.h"
#include "vault/SettingsKeys.h"
#include "vault/TextFile.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#endif

namespace zorvan::bench {

namespace {

std::string GroupName(int group) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", group + 1);
    return "グループ" + std::string(digits);
}

long ProcessId() {
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

}  // namespace

std::string_view LayoutName(Layout layout) {
    return layout == Layout::kGroups20 ? "groups20" : "onegroup";
}

std::string BenchName(std::string_view operation, Layout layout, int items) {
    return std::string(operation) + "/" + std::string(LayoutName(layout)) + "/" +
           std::to_string(items);
}

ItemRecord SampleItem(int i) {
    ItemRecord item;
    item.ItemName = "アイテム " + std::to_string(i);
    item.AccountID = "user" + std::to_string(i) + "@example.jp";
    item.AccountPass = "Pa\"ss," + std::to_string(i * 7919 % 1000003);
    item.RelatedURL = "https://example.jp/login?id=" + std::to_string(i);
    item.AccountMemo = "メモ\r\n2行目";
    item.Expire = i % 2;
    item.ExpireDate = 45292.0 + i % 3650;
    return item;
}

void WriteSampleCsv(const std::filesystem::path& file, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += csv::FormatCsvLine(SampleItem(i));
        text += "\r\n";
    }
    const std::string bytes = codepage::ToAnsi(text);
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScratchFolder::ScratchFolder(const std::string& name)
    : path_(std::filesystem::temp_directory_path() /
            ("zorvan-bench-" + std::to_string(ProcessId()) + "-" + name)) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScaleVault& ScaleVault::Get(int items, Layout layout, VaultExtras extras) {
    // Destroyed at exit, which removes the folders.
    static std::map<std::tuple<int, Layout, VaultExtras>, std::unique_ptr<ScaleVault>> vaults;
    auto& vault = vaults[{items, layout, extras}];
    if (!vault) {
        vault.reset(new ScaleVault(items, layout, extras));
        if (extras.buildInChild) {
            vault->BuildInChild();
        } else {
            vault->Build();
        }
    }
    if (!vault->vault_) {
        vault->vault_ = std::make_unique<Vault>(DataPaths::InFolder(vault->folder_));
        vault->vault_->UseKeyOf(vault->password_);
    }
    return *vault;
}

ScaleVault::ScaleVault(int items, Layout layout, VaultExtras extras)
    : items_(items),
      layout_(layout),
      extras_(extras),
      folder_(std::filesystem::temp_directory_path() /
              ("zorvan-scale-" + std::to_string(ProcessId()) + "-" +
               std::string(LayoutName(layout)) + "-" + std::to_string(items) +
               (extras == VaultExtras{} ? "" : "-extras"))) {
    const int groupCount = layout_ == Layout::kGroups20 ? kGroupCount : 1;
    for (int g = 0; g < groupCount; ++g) {
        groups_.push_back(GroupName(g));
    }
    if (extras_.emptyGroup) {
        groups_.emplace_back("空");
    }
    // Dealt round-robin: the first group gets the odd ones over.
    biggestItems_ = static_cast<std::size_t>((items_ + groupCount - 1) / groupCount);
}

ScaleVault::~ScaleVault() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ScaleVault::ChangePassword(std::string newPassword) {
    vault_->ChangePassword(newPassword);
    password_ = std::move(newPassword);
}

void ScaleVault::Build() {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    paths_ = InitDataFiles(folder_);
    const Cipher cipher(KeyBytes(password_).span());
    WriteSetting(paths_.strIniFile, settings::kSection, settings::kPass.name,
                 CheckValueText(CheckBlock(KeyBytes(password_).span()).span()));

    const int groupCount = layout_ == Layout::kGroups20 ? kGroupCount : 1;
    std::vector<std::vector<BlockNumber>> members(static_cast<std::size_t>(groupCount));
    {
        RecordBatch batch(paths_.strItmFile, paths_.strBmpFile);
        for (int i = 0; i < items_; ++i) {
            const ItemRecord item = SampleItem(i);
            ItemPlaintext plain = BuildItemPlaintext(item);
            cipher.Encrypt(plain.bytes.span());
            members[static_cast<std::size_t>(i % groupCount)].push_back(
                batch.Store(plain.bytes.span(), plain.count, item.Expire, item.ExpireDate));
        }
        batch.Commit();
    }
    // As many one-at-a-time additions would leave them: the latest first.
    std::vector<std::string> lines;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        std::string line = groups_[g] + "#0";
        if (g < members.size()) {
            for (auto it = members[g].rbegin(); it != members[g].rend(); ++it) {
                line += '\t';
                line += std::to_string(*it);
            }
        }
        lines.push_back(std::move(line));
    }
    textfile::Rewrite(paths_.strIdxFile, textfile::JoinLines(lines));
    if (extras_.lastGroupSetting) {
        WriteSetting(paths_.strIniFile, settings::kSection, settings::kLastGroup.name,
                     biggestGroup());
    }
}

void ScaleVault::BuildInChild() {
#ifdef _WIN32
    Build();
#else
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        try {
            Build();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "vault not built: %s\n", error.what());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the benchmark vault could not be built");
    }
    // The files are there; this process only needs their names.
    paths_ = DataPaths::InFolder(folder_);
#endif
}

double MaxRssMiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
#endif
}

void ResetPeakRss() {
#if defined(__GLIBC__)
    // Freed heap goes back to the system first, so that it is not counted again.
    malloc_trim(0);
#endif
#ifdef __linux__
    // "5" sets the peak to the current resident size (Linux 4.0 and later).
    std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

}  // namespace zorvan::bench
