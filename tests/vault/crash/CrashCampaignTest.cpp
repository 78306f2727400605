// Kills a real process in the middle of every operation that writes to the vault:
// just before each of its file steps in turn, and after random delays; and makes
// each step fail in turn. After each run it does what the next start does and
// checks that no data was lost: the
// vault opens with the old or the new password, every listed item reads back whole
// as it was before or after, no record names free or shared blocks (leaks are
// allowed), and every setting holds its old or its new value.
//
// ZORVAN_CRASH_FULL=1 runs many more random kills per operation.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "csv/CsvFormat.h"
#include "platform/Codepage.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/Cipher.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/ItemStore.h"
#include "vault/TextFile.h"
#include "vault/Vault.h"
#include "vault/VaultCheck.h"
#include "vault/VaultJournal.h"
#include "vault/crash/CrashOperations.h"
#include "vault/crash/CrashProcess.h"

namespace zorvan {
namespace {

using Clock = std::chrono::steady_clock;
using crash::Operation;
const char* const kVaultFiles[] = {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"};

bool FullRun() {
    const char* full = std::getenv("ZORVAN_CRASH_FULL");
    return full != nullptr && std::string_view(full) == "1";
}

// Everything a user could lose, as read back from a vault folder.
struct VaultState {
    std::string password;                         // the one the settings file's check value accepts
    std::map<std::string, std::string> settings;  // "section/key" -> value
    std::vector<std::pair<std::string, std::vector<ItemRecord>>> groups;  // head, items
    std::map<std::string, std::string> backups;                           // name -> bytes

    bool SameItems(const VaultState& other) const { return groups == other.groups; }
};

void ReadBackups(const std::filesystem::path& folder, VaultState& state) {
    for (const auto& entry : std::filesystem::directory_iterator(folder / "backup")) {
        state.backups[entry.path().filename().string()] = test::ReadBytes(entry.path());
    }
}

// The upgraded vault, through the vault's own operations.
void ReadProtected(const std::filesystem::path& folder, VaultState& state,
                   std::vector<std::string>& problems) {
    try {
        for (const std::string_view password : {crash::kPassword, crash::kNewPassword}) {
            Vault vault(DataPaths::InFolder(folder));
            if (!vault.Open(password)) {
                continue;
            }
            state.password = password;
            auto reader = vault.Reader();
            for (const auto& name : vault.GroupNames()) {
                auto& group = state.groups.emplace_back(vault.GroupEntry(name).front(),
                                                        std::vector<ItemRecord>{});
                for (const BlockNumber item : vault.GroupBlocks(name)) {
                    group.second.push_back(reader.Load(item));
                }
            }
        }
    } catch (const std::exception& error) {
        problems.push_back(std::string("the protected vault does not open: ") + error.what());
    }
    if (state.password.empty()) {
        problems.push_back("the protected vault opens with neither password");
    }
    ReadBackups(folder, state);
}

// Reads the folder; what cannot be read goes into problems.
VaultState ReadState(const std::filesystem::path& folder, std::vector<std::string>& problems) {
    VaultState state;
    std::string section;
    for (const auto& line : textfile::ReadExistingLines(folder / "Zorvan.ini")) {
        if (line.starts_with('[') && line.ends_with(']')) {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            problems.push_back("settings line without a key: " + line);
            continue;
        }
        if (!state.settings.emplace(section + "/" + line.substr(0, eq), line.substr(eq + 1))
                 .second) {
            problems.push_back("settings key twice: " + line);
        }
    }
    const std::string check = state.settings["Zorvan/pass"];
    for (const std::string_view password : {crash::kPassword, crash::kNewPassword}) {
        if (check == CheckValue(password)) {
            state.password = password;
        }
    }
    if (std::filesystem::exists(folder / "Zorvan.zvx")) {
        ReadProtected(folder, state, problems);
        return state;
    }
    if (state.password.empty()) {
        problems.push_back("the vault opens with neither password");
        return state;
    }
    const Cipher cipher(KeyBytes(state.password).span());
    ItemReader reader(folder / "Zorvan.itm", cipher);
    for (const auto& line : textfile::ReadExistingLines(folder / "Zorvan.idx")) {
        const auto parts = SplitTabs(line);
        auto& group = state.groups.emplace_back(parts.front(), std::vector<ItemRecord>{});
        for (std::size_t i = 1; i < parts.size(); ++i) {
            try {
                group.second.push_back(reader.Load(ParseBlockNumber(parts[i]).value()));
            } catch (const std::exception& error) {
                problems.push_back("item " + parts[i] + " of " + parts.front() +
                                   " does not read back: " + error.what());
            }
        }
    }
    ReadBackups(folder, state);
    return state;
}

// Where each item is, by name (the fixture's names are unique).
std::map<std::string, std::pair<std::string, ItemRecord>> ItemsByName(const VaultState& state) {
    std::map<std::string, std::pair<std::string, ItemRecord>> items;
    for (const auto& [head, records] : state.groups) {
        for (const auto& record : records) {
            items.emplace(record.ItemName, std::make_pair(head, record));
        }
    }
    return items;
}

template <typename Map>
bool OldOrNew(const Map& now, const Map& before, const Map& after, const std::string& key) {
    const auto value = [&](const Map& map) {
        const auto it = map.find(key);
        return it == map.end() ? std::nullopt : std::optional(it->second);
    };
    return value(now) == value(before) || value(now) == value(after);
}

template <typename Map>
std::set<std::string> KeysOf(const Map& a, const Map& b, const Map& c) {
    std::set<std::string> keys;
    for (const Map* map : {&a, &b, &c}) {
        for (const auto& entry : *map) {
            keys.insert(entry.first);
        }
    }
    return keys;
}

// What is wrong with the recovered vault in folder, given the states before and
// after the operation. Empty when nothing is.
std::vector<std::string> Problems(const std::filesystem::path& folder, const VaultState& before,
                                  const VaultState& after, bool whole, std::uint64_t& leaked) {
    std::vector<std::string> problems;
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    // The upgrade adds its file beside the legacy ones, which it leaves as they are.
    names.erase("Zorvan.zvx");
    if (names !=
        std::set<std::string>{"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp", "backup"}) {
        std::string list;
        for (const auto& name : names) {
            list += " " + name;
        }
        problems.push_back("files left in the folder:" + list);
    }
    const VaultState now = ReadState(folder, problems);
    for (const auto& key : KeysOf(now.settings, before.settings, after.settings)) {
        if (!OldOrNew(now.settings, before.settings, after.settings, key)) {
            problems.push_back("setting " + key + " is neither old nor new");
        }
    }
    for (const auto& name : KeysOf(now.backups, before.backups, after.backups)) {
        if (!OldOrNew(now.backups, before.backups, after.backups, name)) {
            problems.push_back("backup " + name + " is neither absent nor whole");
        }
    }
    const VaultCheck::Report report = VaultCheck::Run(DataPaths::InFolder(folder));
    if (!report.Healthy()) {
        problems.push_back(report.Message());
    }
    leaked = std::max(leaked, report.leakedBlocks);
    if (now.password.empty()) {
        return problems;
    }
    if (whole) {
        if (!now.SameItems(before) && !now.SameItems(after)) {
            problems.push_back("the groups and items are neither the old nor the new ones");
        }
        return problems;
    }
    // Any mix of the single changes, but each item once, old or new, and none lost.
    const auto items = ItemsByName(now);
    const auto old = ItemsByName(before);
    const auto changed = ItemsByName(after);
    std::size_t count = 0;
    for (const auto& [head, records] : now.groups) {
        count += records.size();
    }
    if (count != items.size()) {
        problems.push_back("an item is listed twice");
    }
    for (const auto& name : KeysOf(items, old, changed)) {
        const bool kept = old.contains(name) && changed.contains(name);
        if (kept && !items.contains(name)) {
            problems.push_back("item lost: " + name);
        } else if (!OldOrNew(items, old, changed, name)) {
            problems.push_back("item " + name + " is neither old nor new");
        }
    }
    return problems;
}

class CrashCampaignTest : public ::testing::TestWithParam<Operation> {
protected:
    // The sample vault with three more groups of twenty items, every settings key,
    // one older backup, and the inputs of the import and the restore beside it;
    // made once, copied for every run.
    static void SetUpTestSuite() {
        shared_ = std::make_unique<test::TempDir>();
        const test::TempDir& dir = *shared_;
        fixture_ = dir / "fixture";
        std::filesystem::create_directories(fixture_ / "backup");
        for (const char* name : kVaultFiles) {
            test::WriteBytes(fixture_ / name,
                             test::ReadBytes(test::DataDir() / "vault-sample" / name));
        }
        std::filesystem::copy_file(test::DataDir() / "20030405-134507",
                                   fixture_ / "backup" / "20030405-134507");
        const Cipher cipher(KeyBytes(crash::kPassword).span());
        ItemStore store(fixture_ / "Zorvan.itm", fixture_ / "Zorvan.bmp");
        GroupIndex index(fixture_ / "Zorvan.idx");
        for (const std::string group : {"Shop#0", "社内#1", "Games"}) {
            index.UpdateGroupLine(group, kNoBlock, kNoBlock);
            for (int i = 0; i < 20; ++i) {
                ItemPlaintext plain = BuildItemPlaintext(Item(group + " item ", i));
                cipher.Encrypt(plain.bytes.span());
                const BlockNumber block =
                    store.StoreItem(plain.bytes.span(), plain.count, i % 2, 40000.0 + i);
                index.UpdateGroupLine(GroupIndex::GetGroupName(group), kNoBlock, block);
            }
        }
        // Every key holds a value the operations change, so each write replaces one.
        const std::string ini =
            "[Zorvan]\r\nlastgroup=Web\r\nversion=5\r\npass=" + CheckValue(crash::kPassword) +
            "\r\nleft=0\r\ntop=0\r\nwidth=6060\r\nheight=3405\r\ntoolbar=True\r\n"
            "statusbar=True\r\nglidline=True\r\ntooltip=True\r\ntopmost=False\r\n"
            "passview=True\r\ntransparency=255\r\nwait=4\r\nupper=1\r\nlower=0\r\nnumber=1\r\n"
            "symbol=0\r\nsymbols=_-#$%\r\nminpasslen=6\r\nmaxpasslen=8\r\nclipboardclear=30";
        test::WriteBytes(fixture_ / "Zorvan.ini", ini);

        std::string csv;
        for (int i = 0; i < 30; ++i) {
            csv += codepage::ToAnsi(csv::FormatCsvLine(Item("取込 ", i))) + "\r\n";
        }
        test::WriteBytes(dir / "import.csv", csv);
        std::filesystem::copy_file(test::DataDir() / "20030405-134507", dir / "restore.bak");
    }

    static void TearDownTestSuite() {
        std::cout << "crash campaign: " << totalKills_ << " kills in all, " << totalSeconds_
                  << " s\n";
        shared_.reset();
    }

    static ItemRecord Item(const std::string& prefix, int i) {
        ItemRecord item;
        item.ItemName = prefix + std::to_string(i);
        item.AccountID = "user" + std::to_string(i);
        item.AccountPass = "pw-" + std::to_string(i * 7919);
        item.RelatedURL = "https://example.com/" + std::to_string(i);
        item.AccountMemo = std::string(static_cast<std::size_t>(40 + i * 5), 'm') + "\r\n二行目";
        item.Expire = i % 2;
        item.ExpireDate = 40000.0 + i;
        return item;
    }

    void Restock(const std::filesystem::path& folder) const {
        std::filesystem::remove_all(folder);
        std::filesystem::copy(fixture_, folder, std::filesystem::copy_options::recursive);
    }

    std::vector<std::string> Args(const std::filesystem::path& folder, long killAt,
                                  long pause) const {
        const Operation& op = GetParam();
        const auto input = op.input == crash::Input::kCsv      ? *shared_ / "import.csv"
                           : op.input == crash::Input::kBackup ? *shared_ / "restore.bak"
                                                               : std::filesystem::path("-");
        return {"op",           std::string(op.name),   folder.string(),
                input.string(), std::to_string(killAt), std::to_string(pause)};
    }

    enum class Cut { kAtStep, kFailed, kRandom };

    // A change the journal committed is finished by the next start-up, which may be
    // killed too, at each of its steps; the start after that must still finish it.
    // Returns how many recoveries were killed.
    int KillTheRecovery(const std::filesystem::path& work, const std::string& where) {
        if (!VaultJournal(DataPaths::InFolder(work)).Pending()) {
            return 0;
        }
        const auto copy = dir_ / "copy";
        int kills = 0;
        for (int j = 1;; ++j) {
            std::filesystem::remove_all(copy);
            std::filesystem::copy(work, copy, std::filesystem::copy_options::recursive);
            const auto again = test::RunChild({"recover", copy.string(), std::to_string(j), "0"},
                                              dir_ / "recover.out");
            if (!again.killed) {
                EXPECT_EQ(again.exitCode, 0) << again.output;
                return kills;
            }
            ++kills;
            RecoverAndCheck(copy, where + ", its recovery killed before step " + std::to_string(j),
                            Cut::kRandom);
        }
    }

    // What the next start does, every check, and then one more item stored, which
    // must find blocks that no listed record holds (in the short run only after the
    // kills at each step: the stores' forced writes take most of the time).
    void RecoverAndCheck(const std::filesystem::path& folder, const std::string& where, Cut cut) {
        const DataPaths paths = InitDataFiles(folder);
        try {
            RecoverInterruptedChange(paths);
        } catch (const std::exception& error) {
            ADD_FAILURE() << where << ": the start-up recovery fails: " << error.what();
            return;
        }
        const crash::Outcome outcome = GetParam().outcome;
        const bool whole =
            outcome == crash::Outcome::kOldOrNew ||
            (outcome == crash::Outcome::kOldOrNewUnlessFailed && cut != Cut::kFailed);
        const auto problems = Problems(folder, before_, after_, whole, leaked_);
        for (const auto& problem : problems) {
            ADD_FAILURE() << GetParam().name << " " << where << ": " << problem;
        }
        if (!problems.empty() || (cut != Cut::kAtStep && !FullRun())) {
            return;
        }
        Vault vault(paths);
        ASSERT_TRUE(vault.Open(crash::kPassword) || vault.Open(crash::kNewPassword)) << where;
        const ItemRecord probe = Item("probe ", 99);
        const BlockNumber block = vault.SaveItem("probe", probe, kNoBlock);
        EXPECT_EQ(vault.LoadItem(block), probe) << where;
        EXPECT_EQ(vault.Check().Message(), "") << GetParam().name << " " << where;
    }

    static inline std::unique_ptr<test::TempDir> shared_;
    static inline std::filesystem::path fixture_;
    static inline int totalKills_ = 0;
    static inline double totalSeconds_ = 0;
    test::TempDir dir_;
    VaultState before_;
    VaultState after_;
    std::uint64_t leaked_ = 0;
};

TEST_P(CrashCampaignTest, KilledOrFailingAnywhereLosesNothing) {
    const Operation& op = GetParam();
    const auto start = Clock::now();
    std::vector<std::string> problems;
    before_ = ReadState(fixture_, problems);
    const auto work = dir_ / "work";
    const auto out = dir_ / "child.out";
    Restock(work);
    const auto done = test::RunChild(Args(work, 0, 0), out);
    const int steps = test::StepsOf(done);
    ASSERT_GT(steps, 0) << done.output;
    after_ = ReadState(work, problems);
    ASSERT_EQ(problems, std::vector<std::string>{});
    ASSERT_FALSE(before_.SameItems(after_) && before_.settings == after_.settings &&
                 before_.backups == after_.backups)
        << "the operation changed nothing";

    int kills = 0;
    int recoveryKills = 0;
    for (int k = 1; k <= steps; ++k) {
        Restock(work);
        const auto result = test::RunChild(Args(work, k, 0), out);
        EXPECT_TRUE(result.killed) << "step " << k << ": " << result.output;
        kills += result.killed ? 1 : 0;
        const std::string where = "killed before step " + std::to_string(k);
        recoveryKills += KillTheRecovery(work, where);
        RecoverAndCheck(work, where, Cut::kAtStep);
    }

    // A failure at each step instead, as a full disk gives: the operation's own
    // error handling runs, then the next start.
    int reported = 0;
    for (int k = 1; k <= steps; ++k) {
        Restock(work);
        const auto result = test::RunChild(Args(work, -k, 0), out);
        EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 1) << result.output;
        reported += result.exitCode == 1 ? 1 : 0;
        RecoverAndCheck(work, "failing at step " + std::to_string(k), Cut::kFailed);
    }

    // From outside, at random moments, half of the runs slowed down by a pause
    // before every step so that the kills spread over all of them. A run that ends
    // before its kill is checked all the same and followed by another.
    constexpr long kPause = 300;
    const auto shortest = [&](long pause) {
        auto span = std::chrono::microseconds::max();
        for (int i = 0; i < 3; ++i) {
            Restock(work);
            span = std::min(span, test::RunChild(Args(work, 0, pause), out).ran);
        }
        return span.count();
    };
    long spans[] = {shortest(kPause), shortest(0)};
    // The changes that go through the journal copy whole files on their way, where
    // a kill from outside lands most often; they get more of them.
    const bool journaled =
        op.name == "password_change" || op.name == "restore" || op.name == "upgrade";
    const int wanted = FullRun() ? 150 : journaled ? 40 : 10;
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string_view>{}(op.name)));
    int outside = 0;
    int runs = 0;
    for (; outside < wanted && runs < 5 * wanted; ++runs) {
        const bool paused = runs % 2 == 0;
        long& span = spans[paused ? 0 : 1];
        const auto delay =
            std::chrono::microseconds(std::uniform_int_distribution<long>(0, span)(random));
        Restock(work);
        const auto result = test::RunChild(Args(work, 0, paused ? kPause : 0), out, delay);
        outside += result.killed ? 1 : 0;
        if (!result.killed) {
            // The machine ran this one faster than the measured runs: aim earlier.
            span = std::max(span * 3 / 4, 1L);
        }
        RecoverAndCheck(work, "killed after " + std::to_string(delay.count()) + " us",
                        Cut::kRandom);
    }
    EXPECT_EQ(outside, wanted) << "the runs ended before their kills";
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::cout << "crash campaign: " << op.name << ": " << kills + outside + recoveryKills
              << " kills (" << kills << " at each of " << steps << " steps, " << recoveryKills
              << " of the recovery after them, " << outside << " of " << runs << " random), "
              << steps << " failures injected (" << reported << " reported), at most " << leaked_
              << " blocks leaked, " << seconds << " s\n";
    RecordProperty("kills", kills + outside + recoveryKills);
    totalKills_ += kills + outside + recoveryKills;
    totalSeconds_ += seconds;
}

INSTANTIATE_TEST_SUITE_P(EveryWrite, CrashCampaignTest, ::testing::ValuesIn(crash::Operations()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zorvan
