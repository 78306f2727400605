// Kills a real process in the middle of a master password change or a restore, at
// every durable step and after many different delays, then runs the start-up
// recovery and checks that the vault opens with exactly one of the two passwords
// and every item reads back.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <set>

#include "support/Golden.h"
#include "support/TempDir.h"
#include "vault/CyrptFunction.h"
#include "vault/GroupIndex.h"
#include "vault/ItemStore.h"
#include "vault/Settings.h"
#include "vault/VaultJournal.h"
#include "vault/crash/CrashProcess.h"

namespace zorvan {
namespace {

using test::RunChild;
using Files = std::map<std::string, std::string>;
const char* const kFiles[] = {"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp"};

int StepsRun(const test::ChildResult& result) {
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return test::StepsOf(result);
}

Files Snapshot(const std::filesystem::path& folder) {
    Files files;
    for (const char* name : kFiles) {
        files[name] = test::ReadBytes(folder / name);
    }
    return files;
}

void Restock(const std::filesystem::path& folder, const Files& files) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "backup");
    for (const auto& [name, bytes] : files) {
        test::WriteBytes(folder / name, bytes);
    }
}

// Every listed item, in index order, read with the given password.
std::vector<ItemRecord> Items(const std::filesystem::path& folder, const std::string& password) {
    CyrptFunction::SetCipherKey(KeyBytes(password).span());
    std::vector<ItemRecord> items;
    GroupIndex index(folder / "Zorvan.idx");
    ItemReader reader(folder / "Zorvan.itm");
    for (const auto& name : index.GetGroupNames()) {
        const auto line = index.GetGroupItems(name);
        for (std::size_t i = 1; i < line.size(); ++i) {
            items.push_back(reader.Load(*ParseBlockNumber(line[i])));
        }
    }
    return items;
}

// One state the vault may be in after a kill and the recovery.
struct State {
    std::string password;
    Files files;
    std::vector<ItemRecord> items;
};

// Which of the two states the recovered vault is in; fails the test when it is
// neither, when anything is left over, or when an item does not read back.
int Check(const std::filesystem::path& folder, const State& a, const State& b,
          const std::string& where) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"Zorvan.ini", "Zorvan.idx", "Zorvan.itm", "Zorvan.bmp",
                                            "backup"}))
        << where;
    const std::string pass = ReadSetting(folder / "Zorvan.ini", "Zorvan", "pass", "");
    const bool isA = pass == CheckValue(a.password);
    const bool isB = pass == CheckValue(b.password);
    EXPECT_NE(isA, isB) << where << ": the vault opens with " << (isA ? "both" : "neither");
    const State& state = isA ? a : b;
    EXPECT_EQ(Snapshot(folder), state.files) << where;
    EXPECT_EQ(Items(folder, state.password), state.items) << where;
    return isA ? 0 : 1;
}

class CrashRecoveryTest : public ::testing::Test {
protected:
    // The sample vault with three more groups of twenty items each, so that the item
    // file spans several write chunks.
    void MakeVault(const std::filesystem::path& folder, const std::string& password) const {
        Restock(folder, {});
        for (const char* name : kFiles) {
            test::WriteBytes(folder / name,
                             test::ReadBytes(test::DataDir() / "vault-sample" / name));
        }
        CyrptFunction::SetCipherKey(KeyBytes("zorvan").span());
        ItemStore store(folder / "Zorvan.itm", folder / "Zorvan.bmp");
        GroupIndex index(folder / "Zorvan.idx");
        for (const std::string group : {"Shop#0", "社内#1", "Games"}) {
            index.UpdateGroupLine(group, kNoBlock, kNoBlock);
            for (int i = 0; i < 20; ++i) {
                ItemRecord item;
                item.ItemName = group + " item " + std::to_string(i);
                item.AccountID = "user" + std::to_string(i);
                item.AccountPass = "pw-" + std::to_string(i * 7919);
                item.AccountMemo =
                    std::string(static_cast<std::size_t>(40 + i * 5), 'm') + "\r\n二行目";
                ItemPlaintext plain = BuildItemPlaintext(item);
                CyrptFunction::EncryptBytes(plain.bytes.span());
                const BlockNumber block =
                    store.StoreItem(plain.bytes.span(), plain.count, i % 2, 40000.0 + i);
                index.UpdateGroupLine(GroupIndex::GetGroupName(group), kNoBlock, block);
            }
        }
        if (password != "zorvan") {
            // Another password for the vault in use than the backup's: re-encipher it
            // in place through the helper so that both states are known.
            const auto result = RunChild({"rekey", folder.string(), "zorvan", password, "0", "0"},
                                         dir_ / "make.out");
            ASSERT_EQ(result.exitCode, 0) << result.output;
        }
    }

    State Capture(const std::filesystem::path& folder, const std::string& password) const {
        return State{password, Snapshot(folder), Items(folder, password)};
    }

    // Kills the operation at every step, then also kills the recovery of every
    // committed state at each of its steps. Returns the outcomes (old, new).
    std::pair<int, int> KillAtEveryStep(const std::vector<std::string>& operation,
                                        const State& before, const State& after) {
        const auto work = dir_ / "work";
        const auto copy = dir_ / "copy";
        Restock(work, before.files);
        const int steps = StepsRun(RunChild(operation, dir_ / "child.out"));
        EXPECT_GT(steps, 10);
        std::pair<int, int> outcomes{0, 0};
        for (int k = 1; k <= steps; ++k) {
            Restock(work, before.files);
            auto args = operation;
            args[args.size() - 2] = std::to_string(k);
            const auto result = RunChild(args, dir_ / "child.out");
            EXPECT_TRUE(result.killed) << "step " << k;
            ++kills_;

            if (VaultJournal(DataPaths::InFolder(work)).Pending()) {
                // The recovery itself dies at each of its steps, then runs again.
                for (int j = 1;; ++j) {
                    std::filesystem::remove_all(copy);
                    std::filesystem::copy(work, copy, std::filesystem::copy_options::recursive);
                    const auto again = RunChild({"recover", copy.string(), std::to_string(j), "0"},
                                                dir_ / "recover.out");
                    if (!again.killed) {
                        EXPECT_EQ(again.exitCode, 0) << again.output;
                        break;
                    }
                    ++kills_;
                    RecoverInterruptedChange(DataPaths::InFolder(copy));
                    Check(
                        copy, before, after,
                        "recovery killed at " + std::to_string(j) + " after " + std::to_string(k));
                }
            }
            RecoverInterruptedChange(DataPaths::InFolder(work));
            const int outcome = Check(work, before, after, "killed at step " + std::to_string(k));
            (outcome == 0 ? outcomes.first : outcomes.second)++;
        }
        return outcomes;
    }

    // Kills the operation after delays spread evenly over its running time (slowed
    // down by a pause after every step), whatever instruction it is at.
    // Returns how many runs were killed and how many of those opened the old state.
    std::pair<int, int> KillAfterDelays(std::vector<std::string> operation, const State& before,
                                        const State& after, int runs) {
        const auto work = dir_ / "work";
        operation.back() = "300";  // microseconds after every step
        Restock(work, before.files);
        const auto start = std::chrono::steady_clock::now();
        RunChild(operation, dir_ / "child.out");
        const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        std::pair<int, int> killed{0, 0};
        for (int i = 0; i < runs; ++i) {
            Restock(work, before.files);
            const auto delay = span * i / runs;
            const auto result = RunChild(operation, dir_ / "child.out", delay);
            RecoverInterruptedChange(DataPaths::InFolder(work));
            const int outcome =
                Check(work, before, after, "killed after " + std::to_string(delay.count()) + " us");
            if (result.killed) {
                ++killed.first;
                killed.second += outcome == 0 ? 1 : 0;
            }
        }
        kills_ += killed.first;
        return killed;
    }

    test::TempDir dir_;
    int kills_ = 0;
};

TEST_F(CrashRecoveryTest, PasswordChangeKilledAnywhereLeavesExactlyOnePasswordWorking) {
    const auto original = dir_ / "original";
    MakeVault(original, "zorvan");
    const State before = Capture(original, "zorvan");
    ASSERT_EQ(before.items.size(), 64u);
    const auto reference = dir_ / "reference";
    Restock(reference, before.files);
    ASSERT_EQ(
        RunChild({"rekey", reference.string(), "zorvan", "新パス", "0", "0"}, dir_ / "ref.out")
            .exitCode,
        0);
    const State after = Capture(reference, "新パス");
    EXPECT_EQ(after.items, before.items);
    EXPECT_NE(after.files.at("Zorvan.itm"), before.files.at("Zorvan.itm"));

    const std::vector<std::string> operation{
        "rekey", (dir_ / "work").string(), "zorvan", "新パス", "0", "0"};
    const auto [old, changed] = KillAtEveryStep(operation, before, after);
    EXPECT_GT(old, 0);
    EXPECT_GT(changed, 0);
    const auto [delayed, delayedOld] = KillAfterDelays(operation, before, after, 40);
    std::cout << "password change: " << kills_ << " kills; after a kill at each step " << old
              << " opened with the old password and " << changed << " with the new one; " << delayed
              << " runs killed after a delay, " << delayedOld << " of them old\n";
    RecordProperty("kills", kills_);
}

TEST_F(CrashRecoveryTest, RestoreKilledAnywhereLeavesTheOldVaultOrTheRestoredOne) {
    const auto current = dir_ / "current";
    MakeVault(current, "いまのパス");
    const State before = Capture(current, "いまのパス");
    Restock(dir_ / "sample", {});
    for (const char* name : kFiles) {
        test::WriteBytes(dir_ / "sample" / name,
                         test::ReadBytes(test::DataDir() / "vault-sample" / name));
    }
    const State after = Capture(dir_ / "sample", "zorvan");
    const auto backup = dir_ / "20030405-134507";
    std::filesystem::copy_file(test::DataDir() / "20030405-134507", backup);

    const std::vector<std::string> operation{"restore", (dir_ / "work").string(), backup.string(),
                                             "0", "0"};
    const auto [old, restored] = KillAtEveryStep(operation, before, after);
    EXPECT_GT(old, 0);
    EXPECT_GT(restored, 0);
    const auto [delayed, delayedOld] = KillAfterDelays(operation, before, after, 40);
    std::cout << "restore: " << kills_ << " kills; after a kill at each step " << old
              << " kept the old vault and " << restored << " had the restored one; " << delayed
              << " runs killed after a delay, " << delayedOld << " of them old\n";
    RecordProperty("kills", kills_);
}

}  // namespace
}  // namespace zorvan
