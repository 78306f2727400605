#include "ui/main/ItemList.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QTableView>
#include <exception>
#include <iterator>

#include "ui/LongOperation.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/ItemSearch.h"
#include "ui/main/frmMain.h"
#include "vault/GroupIndex.h"
#include "vault/ItemReader.h"
#include "vault/ItemStore.h"
#include "vault/SettingsKeys.h"
#include "vault/SettingsStore.h"

namespace zorvan {

namespace {
template <typename Step>
void Try(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        // A group load never stops on a failure.
    }
}
}  // namespace

ItemList::ItemList(frmMain& main) : main_(main) {}

QString ItemList::Mask(const QString& password) {
    return QString(password.size() * 2, QLatin1Char('*'));
}

double ItemList::Today() {
    return QDate(1899, 12, 30).daysTo(QDate::currentDate());
}

int ItemList::ExpiryIcon(bool expire, double expireDate, double today) {
    if (!expire) {
        return 1;
    }
    return today < expireDate ? 3 : 2;
}

void ItemList::cboMain_Click() {
    // Choosing a group ends a search; its end loads the group chosen.
    if (main_.search().active()) {
        main_.search().Leave();
        return;
    }
    MainState& state = main_.state();
    const QString chosen = main_.groupSelector()->currentText();
    if (chosen == state.strCurrentGroup) {
        return;
    }
    const Session& session = main_.session();
    main_.statusPanel(2)->setText(Res(res::kLoadingItems));
    Try([&] { ResetColumnHeadings(); });
    main_.EnableItemCommands(false);
    if (chosen.isEmpty()) {
        return;
    }
    state.strCurrentGroup = chosen;
    Try([&] { session.vault.RememberGroup(FromQ(chosen)); });
    std::vector<std::string> entry;
    Try([&] { entry = session.vault.GroupEntry(FromQ(chosen)); });
    state.blnReadOnlyGroup = false;
    main_.statusPanel(2)->clear();
    if (!entry.empty()) {
        const auto& head = entry.front();
        const auto hash = head.find('#');
        if (hash != std::string::npos) {
            const auto flag = head.substr(hash + 1, head.find('#', hash + 1) - hash - 1);
            if (ParseBlockNumber(flag) == 1) {
                state.blnReadOnlyGroup = true;
                main_.statusPanel(2)->setText(Res(res::kWriteProtected));
            }
        }
    }
    main_.itemModel()->ClearRows();
    const std::size_t count = entry.empty() ? 0 : entry.size() - 1;
    BeginRows();
    Try([&] {
        LongOperation operation(&main_, main_.progressBar(), Res(res::kLoadingItems));
        auto reader = session.vault.Reader();
        for (std::size_t i = 1; i < entry.size(); ++i) {
            if (operation.RepaintDue()) {
                FlushRows();  // the rows read so far are shown while the rest loads
            }
            operation.Progress(i - 1, count);
            // A damaged record is left out; the rest of the group still loads.
            Try([&] {
                const auto block = ParseBlockNumber(entry[i]);
                if (block) {
                    AddItemToListView(0, reader.Load(*block), *block);
                }
            });
        }
    });
    EndRows();
    main_.statusPanel(1)->setText(QString::number(count) + Res(res::kItemsPresent));
    main_.itemList()->clearSelection();
    Try([&] { main_.UpdateMoveMenu(); });
}

void ItemList::AddItemToListView(int itemIndex, const ItemRecord& item, BlockNumber lngPointer,
                                 const QString& group, bool readOnly) {
    MainState& state = main_.state();
    ItemListModel* model = main_.itemModel();
    const bool plain = main_.passwordsShown();
    ItemListModel::Row row;
    row.name = ToQ(item.ItemName);
    row.userId = ToQ(item.AccountID);
    const QString password = ToQ(item.AccountPass);
    row.password = plain ? password : Mask(password);
    row.icon = ExpiryIcon(item.HasExpiry(), item.ExpireDate, today_ ? *today_ : Today());
    row.url = ToQ(item.RelatedURL);
    row.memo = ToQ(item.AccountMemo);
    row.block = lngPointer;
    row.group = group;
    row.readOnly = readOnly;

    int at = 0;
    if (itemIndex > 0) {
        FlushRows();
        at = itemIndex - 1;
        const int slot = model->row(at).tag;
        state.intEditSlot = slot;
        row.tag = slot;
        if (row.group.isEmpty()) {
            row.group = model->row(at).group;
            row.readOnly = model->row(at).readOnly;
        }
        model->SetRow(at, std::move(row));
    } else {
        DisableSorting();
        at = itemIndex < 0 ? 0 : RowCount();
        const int slot = model->TakeTag();
        state.intEditIndex = at + 1;
        state.intEditSlot = slot;
        row.tag = slot;
        if (batching_ == 0) {
            model->InsertRow(at, std::move(row));
        } else if (itemIndex < 0) {
            top_.push_back(std::move(row));
        } else {
            bottom_.push_back(std::move(row));
        }
    }
}

void ItemList::BeginRows() {
    if (batching_++ == 0) {
        today_ = Today();
    }
}

int ItemList::RowCount() const {
    return main_.itemModel()->rowCount() + static_cast<int>(top_.size() + bottom_.size());
}

void ItemList::FlushRows() {
    ItemListModel* model = main_.itemModel();
    if (!top_.empty()) {
        std::vector<ItemListModel::Row> rows(std::make_move_iterator(top_.rbegin()),
                                             std::make_move_iterator(top_.rend()));
        top_.clear();
        model->InsertRows(0, std::move(rows));
    }
    if (!bottom_.empty()) {
        std::vector<ItemListModel::Row> rows = std::move(bottom_);
        bottom_.clear();
        model->InsertRows(model->rowCount(), std::move(rows));
    }
}

void ItemList::EndRows() {
    FlushRows();
    if (--batching_ == 0) {
        today_.reset();
    }
}

void ItemList::ShowPasswords(bool plain) {
    FlushRows();
    ItemListModel* model = main_.itemModel();
    // The texts are all made first and handed to the list in one step; a row whose
    // item cannot be read keeps what it shows.
    std::vector<QString> shown;
    shown.reserve(static_cast<std::size_t>(model->rowCount()));
    for (int at = 0; at < model->rowCount(); ++at) {
        shown.push_back(plain ? model->row(at).password : Mask(model->row(at).password));
    }
    if (plain) {
        Try([&] {
            LongOperation operation(&main_, main_.progressBar(), Res(res::kLoadingItems));
            auto reader = main_.session().vault.Reader();
            for (int at = 0; at < model->rowCount(); ++at) {
                operation.Progress(static_cast<std::size_t>(at),
                                   static_cast<std::size_t>(model->rowCount()));
                Try([&] {
                    shown[static_cast<std::size_t>(at)] =
                        ToQ(reader.Load(model->row(at).block).AccountPass);
                });
            }
        });
    }
    model->SetPasswords(std::move(shown));
}

void ItemList::AddColumns() {
    ItemListModel* model = main_.itemModel();
    model->AddColumn(Res(res::kColumnName));
    model->AddColumn(Res(res::kColumnUserId));
    model->AddColumn(Res(res::kColumnPassword));
    const int width = main_.width();
    QTableView* view = main_.itemList();
    view->setColumnWidth(0, width * 2 / 5);
    view->setColumnWidth(1, width / 4);
    view->setColumnWidth(2, width / 4);
}

void ItemList::ResetColumns() {
    main_.itemModel()->ClearColumns();
    AddColumns();
}

void ItemList::ResetColumnHeadings() {
    ItemListModel* model = main_.itemModel();
    const int ids[] = {res::kColumnName, res::kColumnUserId, res::kColumnPassword};
    for (int column = 0; column < model->columnCount() && column < 3; ++column) {
        model->setHeaderData(column, Qt::Horizontal, Res(ids[column]), Qt::DisplayRole);
    }
}

void ItemList::DisableSorting() {
    // Switching it off reconnects the header's signals even when already off; a
    // group load asks once per row.
    if (main_.itemList()->isSortingEnabled()) {
        main_.itemList()->setSortingEnabled(false);
    }
}

}  // namespace zorvan
