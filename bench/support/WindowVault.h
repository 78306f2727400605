#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/DataFiles.h"

namespace zorvan::bench {

// A vault of many items for the window benchmarks, in a temporary folder of its own
// (removed again with the object). The items are stored through the CSV import, the
// way a user fills a large vault, under the password kPassword.
class WindowVault {
public:
    enum class Layout {
        kGroups20,  // the items spread evenly over 20 groups
        kOneGroup,  // all items in one group, after an empty group to switch from
    };

    static constexpr const char* kPassword = "bench";
    static constexpr int kGroups = 20;

    WindowVault(Layout layout, int items);
    ~WindowVault();
    WindowVault(const WindowVault&) = delete;
    WindowVault& operator=(const WindowVault&) = delete;

    static const char* LayoutName(Layout layout);

    const DataPaths& paths() const { return paths_; }
    // The groups in index order.
    const std::vector<std::string>& groups() const { return groups_; }
    // The group holding the most items (the last one of the index).
    const std::string& biggestGroup() const { return groups_.back(); }

private:
    void Build(Layout layout, int items) const;

    std::filesystem::path folder_;
    DataPaths paths_;
    std::vector<std::string> groups_;
};

}  // namespace zorvan::bench
