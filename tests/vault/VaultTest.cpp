#include "vault/Vault.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/FileSteps.h"
#include "platform/StorageError.h"
#include "support/TempDir.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

// That an entry leaves the index before its record is freed is the crash
// campaign's to check: a kill in between would leave the index naming free blocks.
class VaultTest : public test::VaultFixture {
protected:
    ~VaultTest() override { filesteps::SetHook(nullptr); }

    std::string Index() const { return test::ReadBytes(paths_.strIdxFile); }

    struct Files {
        std::string index, bitmap, items;
        bool operator==(const Files&) const = default;
    };
    Files Snapshot() const { return {Index(), Bitmap(), ItemFile()}; }
    void Put(const Files& files) const {
        test::WriteBytes(paths_.strIdxFile, files.index);
        test::WriteBytes(paths_.strBmpFile, files.bitmap);
        test::WriteBytes(paths_.strItmFile, files.items);
    }

    // Six items in G (the first of them also on a second G line), two in H.
    std::vector<BlockNumber> GivenTwoGroups() {
        std::vector<BlockNumber> g;
        for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
            g.push_back(vault_.SaveItem("G", Named(name), kNoBlock));
        }
        vault_.SaveItem("H", Named("x"), kNoBlock);
        vault_.SaveItem("H", Named("y"), kNoBlock);
        test::WriteBytes(paths_.strIdxFile, Index() + "\r\nG\t" + std::to_string(g[0]));
        return g;
    }

    ItemRecord Named(const std::string& name) const {
        ItemRecord item;
        item.ItemName = name;
        item.AccountPass = "pw";
        return item;
    }
};

TEST_F(VaultTest, OpensOnlyWithThePasswordWhoseCheckValueIsStoredAndForgetsTheKeyOnClose) {
    Vault first(paths_);
    EXPECT_FALSE(first.HasPassword());
    first.SetFirstPassword("パス");
    Vault again(paths_);
    EXPECT_FALSE(again.Open("パスx"));
    EXPECT_FALSE(again.IsOpen());
    EXPECT_THROW(again.cipher(), std::logic_error);
    ASSERT_TRUE(again.Open("パス"));
    EXPECT_TRUE(again.IsKeyOf("パス"));
    EXPECT_FALSE(again.IsKeyOf("パスx"));
    again.Close();
    EXPECT_THROW(again.LoadItem(1), std::logic_error);
}

TEST_F(VaultTest, SavingAnEditedItemNamesTheNewRecordInPlaceOfTheOld) {
    const BlockNumber old = vault_.SaveItem("G", Named("a"), kNoBlock);
    const BlockNumber other = vault_.SaveItem("G", Named("b"), kNoBlock);
    const BlockNumber edited = vault_.SaveItem("G", Named("a2"), old);
    EXPECT_EQ(Index(), "G\t" + std::to_string(edited) + "\t" + std::to_string(other));
    // The old record is freed once no line names it: its blocks serve the next save.
    EXPECT_NE(edited, old);
    EXPECT_THROW(store_.LoadItem(old), StorageError);
    EXPECT_EQ(vault_.SaveItem("G", Named("c"), kNoBlock), old);
}

TEST_F(VaultTest, SaveGivesTheNewBlocksBackWhenTheIndexCannotBeWritten) {
    vault_.SaveItem("G", Named("a"), kNoBlock);
    const std::string index = Index();
    const std::string bitmap = Bitmap();
    filesteps::SetHook([](std::string_view step, const std::filesystem::path&) {
        if (step == "rename") {
            throw std::runtime_error("disk full");
        }
    });
    EXPECT_THROW(vault_.SaveItem("G", Named("b"), kNoBlock), std::runtime_error);
    filesteps::SetHook(nullptr);
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(Bitmap(), bitmap);
}

TEST_F(VaultTest, DeleteOfARecordThatCannotBeReadStillTakesItsEntryOff) {
    const BlockNumber a = vault_.SaveItem("G", Named("a"), kNoBlock);
    index_.UpdateGroupLine("G", kNoBlock, 9999);  // past the item file's end
    vault_.DeleteItems("G", std::vector<BlockNumber>{9999});
    EXPECT_EQ(Index(), "G\t" + std::to_string(a));
}

TEST_F(VaultTest, DeletingSeveralLeavesTheSameFilesAsDeletingThemOneByOne) {
    const auto g = GivenTwoGroups();
    const std::vector<BlockNumber> chosen{g[0], g[2], g[5]};
    const Files before = Snapshot();
    for (const BlockNumber block : chosen) {
        vault_.DeleteItems("G", std::vector<BlockNumber>{block});
    }
    const Files oneByOne = Snapshot();
    Put(before);
    int indexWrites = 0;
    filesteps::SetHook([&](std::string_view step, const std::filesystem::path& file) {
        if (step == "rename" && file == paths_.strIdxFile) {
            ++indexWrites;
        }
    });
    vault_.DeleteItems("G", chosen);
    filesteps::SetHook(nullptr);
    EXPECT_EQ(indexWrites, 1);
    EXPECT_TRUE(Snapshot() == oneByOne);
    EXPECT_NE(oneByOne.index, before.index);
}

TEST_F(VaultTest, DeletingSeveralChangesNothingWhenTheIndexCannotBeWritten) {
    const auto g = GivenTwoGroups();
    const Files before = Snapshot();
    filesteps::SetHook([](std::string_view step, const std::filesystem::path&) {
        if (step == "rename") {
            throw std::runtime_error("disk full");
        }
    });
    EXPECT_THROW(vault_.DeleteItems("G", std::vector<BlockNumber>{g[0], g[4]}), std::runtime_error);
    filesteps::SetHook(nullptr);
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(VaultTest, DeletedAndReplacedItemsLeaveNoTraceInTheItemFile) {
    const std::pair<const char*, std::function<void(BlockNumber)>> ways[] = {
        {"delete", [this](BlockNumber b) { vault_.DeleteItems("G", std::vector<BlockNumber>{b}); }},
        {"remove group", [this](BlockNumber) { vault_.RemoveGroup("G"); }},
        // The item dialog's OK.
        {"replace", [this](BlockNumber b) { vault_.SaveItem("G", Named("replacement"), b); }},
    };
    const BlockNumber kept = vault_.SaveItem("K", Named("kept"), kNoBlock);
    for (const auto& [way, drop] : ways) {
        ItemRecord secret = Named(std::string("secret of ") + way);
        secret.AccountPass = "hunter2-" + std::string(way);
        const BlockNumber block = vault_.SaveItem("G", secret, kNoBlock);
        const std::int32_t count = BuildItemPlaintext(secret).count;
        const std::string data =
            ItemFile().substr(static_cast<std::size_t>(block) * 16, (count - 1) * 16);
        drop(block);
        const std::string itm = ItemFile();
        EXPECT_EQ(itm.find(data), std::string::npos) << way;
        EXPECT_EQ(itm.substr(static_cast<std::size_t>(block - 1) * 16, count * 16),
                  std::string(count * 16, '\0'))
            << way;
        EXPECT_EQ(store_.LoadItem(kept).ItemName, "kept") << way;
    }
}

TEST_F(VaultTest, RemovingAGroupFreesItsRecordsAndLeavesTheOthers) {
    const BlockNumber kept = vault_.SaveItem("Keep", Named("k"), kNoBlock);
    vault_.SaveItem("Gone", Named("g1"), kNoBlock);
    vault_.SaveItem("Gone", Named("g2"), kNoBlock);
    vault_.RemoveGroup("Gone");
    EXPECT_EQ(Index(), "Keep\t" + std::to_string(kept));
    EXPECT_EQ(Bitmap(), "\x03");  // only the kept record's two blocks
}

}  // namespace
}  // namespace zorvan
