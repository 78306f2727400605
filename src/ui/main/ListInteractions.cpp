#include "ui/main/ListInteractions.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>

#include "ui/Text.h"
#include "ui/main/ItemCommands.h"
#include "ui/main/ItemList.h"
#include "ui/main/ItemListModel.h"
#include "ui/main/frmMain.h"

namespace zorvan {

ListInteractions::ListInteractions(frmMain& main) : QObject(&main), main_(main) {
    QTableView* list = main_.itemList();
    list->viewport()->installEventFilter(this);
    list->viewport()->setMouseTracking(true);
    list->horizontalHeader()->setSectionsClickable(true);
    connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ListInteractions::lvwMain_ColumnClick);
    // A row reached with the keyboard offers its commands as a clicked one does.
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !QApplication::mouseButtons() &&
                    main_.itemList()->selectionModel()->isRowSelected(current.row())) {
                    lvwMain_ItemClick(current.row());
                }
            });
}

void ListInteractions::lvwMain_ColumnClick(int column) {
    main_.itemListHandler().ResetColumnHeadings();
    ItemListModel* model = main_.itemModel();
    const QString plain = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    if (sortKey_ == column && ascending_) {
        ascending_ = false;
        model->setHeaderData(column, Qt::Horizontal, plain + kDescendingMark.toString(),
                             Qt::DisplayRole);
    } else {
        sortKey_ = column;
        ascending_ = true;
        model->setHeaderData(column, Qt::Horizontal, plain + kAscendingMark.toString(),
                             Qt::DisplayRole);
    }
    model->sort(sortKey_, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void ListInteractions::lvwMain_ItemClick(int row) {
    MainState& state = main_.state();
    const ItemListModel::Row& item = main_.itemModel()->row(row);
    state.intEditIndex = row + 1;
    state.intEditSlot = item.tag;
    main_.EnableItemCommands(false);
    main_.menus().mnuPopupItem[0]->setEnabled(true);
    const QString url = item.url;
    main_.statusPanel(1)->setText(url);
    main_.EnableItemCommand(Command::kCopyId, !item.userId.isEmpty());
    main_.EnableItemCommand(Command::kCopyPassword, !item.password.isEmpty());
    main_.EnableItemCommand(Command::kOpenUrl, !url.isEmpty());
    main_.EnableItemCommand(Command::kItemProperties, true);
}

void ListInteractions::ClickEmptySpace(Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) {
        main_.itemList()->clearSelection();
    }
    main_.statusPanel(1)->setText(QString::number(main_.itemModel()->rowCount()) +
                                  Res(res::kItemsPresent));
    main_.EnableItemCommands(false);
    main_.menus().mnuPopupItem[0]->setEnabled(false);
}

void ListInteractions::lvwMain_MouseMove(const QPoint& viewportPos) {
    if (!main_.toolTipsEnabled()) {
        return;
    }
    const int row = main_.itemList()->indexAt(viewportPos).row();
    if (row < 0) {
        main_.ShowToolTip(QString(), QString());
        main_.SetTipIndex(-1);
        return;
    }
    if (row == main_.tipIndex()) {
        return;
    }
    const ItemListModel::Row& item = main_.itemModel()->row(row);
    main_.ShowToolTip(item.name, item.memo);
    main_.SetTipIndex(row);
}

bool ListInteractions::eventFilter(QObject* watched, QEvent* event) {
    if (watched != main_.itemList()->viewport()) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int row = main_.itemList()->indexAt(mouse->position().toPoint()).row();
            if (row >= 0) {
                lvwMain_ItemClick(row);
            } else {
                ClickEmptySpace(mouse->modifiers());
            }
            return false;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                main_.menus().mnuPopup->popup(QCursor::pos());
            }
            return false;
        case QEvent::MouseButtonDblClick:
            if (main_.itemList()->selectionModel()->hasSelection()) {
                main_.commands().OpenItemDialog();
            }
            return false;
        case QEvent::MouseMove:
            lvwMain_MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            return false;
        case QEvent::Leave:
            return false;
        default:
            return false;
    }
}

}  // namespace zorvan
