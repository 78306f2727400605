#include "ui/main/ItemSearch.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableView>
#include <map>

#include "tools/SearchIndex.h"
#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"
#include "vault/GroupIndex.h"

namespace zorvan {

namespace {

bool WriteProtected(const std::string& head) {
    const auto hash = head.find('#');
    return hash != std::string::npos && head.substr(hash + 1, 1) == "1";
}

}  // namespace

ItemSearch::ItemSearch(frmMain& main, QLineEdit& box) : QObject(&main), main_(main), box_(box) {
    connect(&box_, &QLineEdit::textChanged, this, &ItemSearch::Run);
    connect(new QShortcut(QKeySequence::Find, &main), &QShortcut::activated, this, [this] {
        box_.setFocus();
        box_.selectAll();
    });
    box_.installEventFilter(this);
    // A row of a write-protected group takes no changes, wherever it is listed.
    connect(main.itemList()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                if (active_) {
                    main_.state().blnReadOnlyGroup = SelectionReadOnly();
                }
            });
}

bool ItemSearch::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the box goes back to the group.
    if (watched == &box_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Leave();
        main_.itemList()->setFocus();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

ItemSearch::~ItemSearch() = default;

void ItemSearch::Run(const QString& text) {
    if (text.isEmpty()) {
        Leave();
        return;
    }
    try {
        Show(text);
    } catch (const std::exception& error) {
        main_.statusPanel(1)->setText(ToQ(error.what()));
    }
}

void ItemSearch::Show(const QString& text) {
    Vault& vault = main_.session().vault;
    if (!index_ || indexedAt_ != vault.changes()) {
        index_ = std::make_unique<SearchIndex>(vault);
        indexedAt_ = vault.changes();
    }
    ItemListModel* model = main_.itemModel();
    if (!active_) {
        active_ = true;
        model->AddColumn(QStringLiteral("グループ"));
    }
    const auto hits = index_->Find(FromQ(text), kMostRows + 1);
    std::map<std::string, bool> protectedGroups;
    model->ClearRows();
    ItemList& list = main_.itemListHandler();
    list.BeginRows();
    auto reader = vault.Reader();
    for (std::size_t i = 0; i < hits.size() && i < kMostRows; ++i) {
        const std::string group(hits[i].group);
        if (!protectedGroups.contains(group)) {
            protectedGroups[group] = WriteProtected(vault.GroupEntry(group).front());
        }
        try {
            list.AddItemToListView(0, reader.Load(hits[i].block), hits[i].block, ToQ(group),
                                   protectedGroups[group]);
        } catch (const std::exception&) {
            // A damaged record is left out; the other hits still show.
        }
    }
    list.EndRows();
    main_.itemList()->clearSelection();
    const QString count = hits.size() > kMostRows
                              ? QString::number(kMostRows) + QStringLiteral("件以上")
                              : QString::number(hits.size()) + QStringLiteral("件");
    main_.statusPanel(1)->setText(QStringLiteral("検索: ") + count);
}

void ItemSearch::Leave() {
    if (!active_) {
        return;
    }
    active_ = false;
    {
        const QSignalBlocker block(&box_);
        box_.clear();
    }
    main_.itemListHandler().ResetColumns();
    // The group shown before loads again.
    main_.state().strCurrentGroup.clear();
    main_.itemListHandler().cboMain_Click();
}

void ItemSearch::Forget() {
    index_.reset();
    indexedAt_ = 0;
}

bool ItemSearch::SelectionReadOnly() const {
    if (!active_) {
        return false;
    }
    for (const QModelIndex& index : main_.itemList()->selectionModel()->selectedRows()) {
        if (main_.itemModel()->row(index.row()).readOnly) {
            return true;
        }
    }
    return false;
}

}  // namespace zorvan
