#include "ui/main/ItemSaver.h"

#include "platform/Codepage.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/ItemRecord.h"

namespace zorvan {

namespace {

std::string RoundTrip(std::string_view text) {
    std::string ansi = codepage::ToAnsi(text);
    std::string back = codepage::FromAnsi(ansi);
    SecureWipe(ansi);
    return back;
}

}  // namespace

ItemRecord ItemSaver::AsStored(const ItemRecord& item) {
    ItemRecord stored;
    std::string name = WithoutCrLf(item.ItemName);
    std::string id = WithoutCrLf(item.AccountID);
    std::string pass = WithoutCrLf(item.AccountPass);
    std::string url = WithoutCrLf(item.RelatedURL);
    stored.ItemName = RoundTrip(name);
    stored.AccountID = RoundTrip(id);
    stored.AccountPass = RoundTrip(pass);
    stored.RelatedURL = RoundTrip(url);
    stored.AccountMemo = RoundTrip(item.AccountMemo);
    for (auto* text : {&name, &id, &pass, &url}) {
        SecureWipe(*text);
    }
    stored.Expire = item.Expire;
    stored.ExpireDate = item.ExpireDate;
    return stored;
}

BlockNumber ItemSaver::Save(const ItemRecord& item) {
    MainState& state = main_.state();

    const BlockNumber oldBlock =
        state.intEditSlot > 0 ? main_.itemModel()->BlockOfTag(state.intEditSlot) : kNoBlock;
    const bool listed = oldBlock != kNoBlock && state.intEditIndex >= 1 &&
                        state.intEditIndex <= main_.itemModel()->rowCount();
    const QString group = listed ? main_.GroupOfRow(state.intEditIndex - 1) : state.strCurrentGroup;
    const BlockNumber newBlock = main_.session().vault.SaveItem(FromQ(group), item, oldBlock);
    const ItemRecord shown = AsStored(item);
    // A new item (slot 0) always gets a new row, whatever row was handed over.
    const int row = state.intEditSlot > 0 ? state.intEditIndex : -1;
    main_.itemListHandler().AddItemToListView(row, shown, newBlock);
    return newBlock;
}

}  // namespace zorvan
