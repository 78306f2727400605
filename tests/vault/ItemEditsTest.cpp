#include "vault/ItemEdits.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/FileSteps.h"
#include "support/TempDir.h"
#include "vault/VaultFixture.h"

namespace zorvan {
namespace {

class ItemEditsTest : public test::VaultFixture {
protected:
    ~ItemEditsTest() override { filesteps::SetHook(nullptr); }

    std::string Index() const { return test::ReadBytes(paths_.strIdxFile); }

    ItemRecord Named(const std::string& name) const {
        ItemRecord item;
        item.ItemName = name;
        item.AccountPass = "pw";
        return item;
    }
};

TEST_F(ItemEditsTest, SavingAnEditedItemNamesTheNewRecordInPlaceOfTheOld) {
    const BlockNumber old = ItemEdits::SaveItem(paths_, "G", Named("a"), kNoBlock);
    const BlockNumber other = ItemEdits::SaveItem(paths_, "G", Named("b"), kNoBlock);
    const BlockNumber edited = ItemEdits::SaveItem(paths_, "G", Named("a2"), old);
    EXPECT_EQ(Index(), "G\t" + std::to_string(edited) + "\t" + std::to_string(other));
    // The old record is the caller's to free: until then its blocks stay in use.
    EXPECT_NE(edited, old);
    EXPECT_EQ(store_.LoadItem(old).ItemName, "a");
}

TEST_F(ItemEditsTest, SaveGivesTheNewBlocksBackWhenTheIndexCannotBeWritten) {
    ItemEdits::SaveItem(paths_, "G", Named("a"), kNoBlock);
    const std::string index = Index();
    const std::string bitmap = Bitmap();
    filesteps::SetHook([](std::string_view step, const std::filesystem::path&) {
        if (step == "rename") {
            throw std::runtime_error("disk full");
        }
    });
    EXPECT_THROW(ItemEdits::SaveItem(paths_, "G", Named("b"), kNoBlock), std::runtime_error);
    filesteps::SetHook(nullptr);
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(Bitmap(), bitmap);
}

TEST_F(ItemEditsTest, DeleteTakesTheEntryOffBeforeFreeingTheRecord) {
    const BlockNumber a = ItemEdits::SaveItem(paths_, "G", Named("a"), kNoBlock);
    const BlockNumber b = ItemEdits::SaveItem(paths_, "G", Named("b"), kNoBlock);
    std::string indexAtFree;
    filesteps::SetHook([&](std::string_view step, const std::filesystem::path& file) {
        if (step == "write" && file == paths_.strBmpFile) {
            indexAtFree = Index();
        }
    });
    ItemEdits::DeleteItem(paths_, "G", a);
    filesteps::SetHook(nullptr);
    EXPECT_EQ(indexAtFree, "G\t" + std::to_string(b));
    EXPECT_EQ(Index(), "G\t" + std::to_string(b));
    EXPECT_EQ(ItemEdits::SaveItem(paths_, "G", Named("c"), kNoBlock), a);  // a's blocks are free
}

TEST_F(ItemEditsTest, DeleteOfARecordThatCannotBeReadStillTakesItsEntryOff) {
    const BlockNumber a = ItemEdits::SaveItem(paths_, "G", Named("a"), kNoBlock);
    index_.UpdateGroupLine("G", kNoBlock, 9999);  // past the item file's end
    ItemEdits::DeleteItem(paths_, "G", 9999);
    EXPECT_EQ(Index(), "G\t" + std::to_string(a));
}

TEST_F(ItemEditsTest, RemovingAGroupFreesItsRecordsAndLeavesTheOthers) {
    const BlockNumber kept = ItemEdits::SaveItem(paths_, "Keep", Named("k"), kNoBlock);
    ItemEdits::SaveItem(paths_, "Gone", Named("g1"), kNoBlock);
    ItemEdits::SaveItem(paths_, "Gone", Named("g2"), kNoBlock);
    ItemEdits::RemoveGroup(paths_, "Gone");
    EXPECT_EQ(Index(), "Keep\t" + std::to_string(kept));
    EXPECT_EQ(Bitmap(), "\x03");  // only the kept record's two blocks
}

}  // namespace
}  // namespace zorvan
