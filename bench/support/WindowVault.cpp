#include "support/WindowVault.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

#include "app/Settings.h"
#include "app/SettingsKeys.h"
#include "csv/CsvEngine.h"
#include "csv/CsvFormat.h"
#include "platform/Codepage.h"
#include "vault/Cipher.h"
#include "vault/CyrptFunction.h"
#include "vault/GroupIndex.h"
#include "vault/ItemRecord.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zorvan::bench {

namespace {

std::filesystem::path NewFolder() {
    static std::atomic<int> serial{0};
    const auto folder = std::filesystem::temp_directory_path() /
                        ("zorvan-window-bench-" + std::to_string(serial++) + "-" +
                         std::to_string(std::random_device{}()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// One CSV line per item as an export writes it; every third item has an expiry date.
void WriteCsv(const std::filesystem::path& file, int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        ItemRecord item;
        item.ItemName = "アイテム " + std::to_string(i);
        item.AccountID = "user" + std::to_string(i) + "@example.jp";
        item.AccountPass = "Pw-" + std::to_string(i * 7919);
        item.RelatedURL = "https://example.jp/login?id=" + std::to_string(i);
        item.AccountMemo = "メモ " + std::to_string(i);
        item.Expire = i % 3 == 0 ? 1 : 0;
        item.ExpireDate = 45292.0 + i % 1000;
        text += csv::FormatCsvLine(item) + "\r\n";
    }
    const std::string bytes = codepage::ToAnsi(text);
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

const char* WindowVault::LayoutName(Layout layout) {
    return layout == Layout::kGroups20 ? "groups20" : "onegroup";
}

WindowVault::WindowVault(Layout layout, int items) : folder_(NewFolder()) {
    if (layout == Layout::kGroups20) {
        for (int g = 1; g <= kGroups; ++g) {
            groups_.push_back("グループ" + std::to_string(g));
        }
    } else {
        groups_ = {"空", "すべて"};
    }
#ifdef _WIN32
    Build(layout, items);
#else
    // Built in a child process, so that the memory the import needs never counts
    // towards the benchmark's own peak.
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        try {
            Build(layout, items);
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
#endif
    paths_ = InitDataFiles(folder_);
}

WindowVault::~WindowVault() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void WindowVault::Build(Layout layout, int items) const {
    const DataPaths paths = InitDataFiles(folder_);
    const SecureBytes key = KeyBytes(kPassword);
    CyrptFunction::SetCipherKey(key.span());
    WriteSetting(paths.strIniFile, settings::kSection, settings::kPass.name,
                 CheckValueText(CheckBlock(key.span()).span()));
    CsvEngine engine(paths);
    const auto csv = folder_ / "items.csv";
    if (layout == Layout::kOneGroup) {
        GroupIndex(paths.strIdxFile).UpdateGroupLine(groups_.front(), kNoBlock, kNoBlock);
    }
    const int filled = layout == Layout::kGroups20 ? kGroups : 1;
    for (int g = 0; g < filled; ++g) {
        const int count = items / filled + (g < items % filled ? 1 : 0);
        WriteCsv(csv, g * (items / filled), count);
        if (!engine.ImportCsv(csv, groups_[groups_.size() - filled + g])) {
            throw std::runtime_error(engine.lastError());
        }
    }
    std::filesystem::remove(csv);
    WriteSetting(paths.strIniFile, settings::kSection, settings::kLastGroup.name, biggestGroup());
}

}  // namespace zorvan::bench
