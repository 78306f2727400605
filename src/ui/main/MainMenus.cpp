#include "ui/main/MainMenus.h"

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "ui/Text.h"
#include "ui/main/Icons.h"
#include "ui/main/MenuTables.h"

namespace zorvan {

namespace {

template <std::size_t N>
std::vector<QAction*> AddEntries(QMenu* menu, const std::array<res::MenuEntry, N>& entries,
                                 std::vector<std::pair<Command, QAction*>>& bound) {
    std::vector<QAction*> actions;
    for (const auto& entry : entries) {
        QAction* action = nullptr;
        if (entry.caption == "-") {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(ToQ(entry.caption));
            if (!entry.shortcut.empty()) {
                action->setShortcut(QKeySequence(ToQ(entry.shortcut)));
            }
            if (IsSwitch(entry.command)) {
                action->setCheckable(true);
                action->setChecked(entry.command != Command::kTopMost);
            }
        }
        if (entry.command != Command::kNone) {
            bound.emplace_back(entry.command, action);
        }
        actions.push_back(action);
    }
    return actions;
}

}  // namespace

MainMenus MainMenus::Build(QMainWindow* window) {
    MainMenus m;
    QMenuBar* bar = window->menuBar();
    m.mnuFile = bar->addMenu(ToQ(res::kFileMenu));
    m.mnuFileItem = AddEntries(m.mnuFile, res::kFileItems, m.bound);
    m.mnuEdit = bar->addMenu(ToQ(res::kEditMenu));
    m.mnuEditItem = AddEntries(m.mnuEdit, res::kEditItems, m.bound);
    m.mnuView = bar->addMenu(ToQ(res::kViewMenu));
    m.mnuViewItem = AddEntries(m.mnuView, res::kViewItems, m.bound);
    m.mnuSendkeys = bar->addMenu(ToQ(res::kSendkeysMenu));
    m.mnuSendkeysItem = AddEntries(m.mnuSendkeys, res::kSendkeysItems, m.bound);
    m.mnuHelp = bar->addMenu(ToQ(res::kHelpMenu));
    m.mnuHelpItem = AddEntries(m.mnuHelp, res::kHelpItems, m.bound);

    // The context menu is never in the menu bar.
    m.mnuPopup = new QMenu(ToQ(res::kPopupMenu), window);
    m.mnuPopupItem = AddEntries(m.mnuPopup, res::kPopupItems, m.bound);
    m.mnuMove = new QMenu(m.mnuPopupItem[0]->text(), m.mnuPopup);
    m.mnuPopupItem[0]->setMenu(m.mnuMove);
    m.mnuMove->addAction(ToQ(res::kNoGroupEntry));

    m.tlbMain = new QToolBar(window);
    m.tlbMain->setObjectName(QStringLiteral("tlbMain"));
    m.tlbMain->setMovable(false);
    m.tlbMain->setFloatable(false);
    m.tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m.tlbMain->setIconSize(QSize(16, 16));
    m.tlbMain->toggleViewAction()->setVisible(false);
    window->addToolBar(Qt::TopToolBarArea, m.tlbMain);
    for (const auto& button : res::kToolButtons) {
        if (button.image == 0) {
            m.tlbButtons.push_back(m.tlbMain->addSeparator());
            continue;
        }
        QAction* action = m.tlbMain->addAction(icons::ToolbarImage(button.image), QString());
        action->setToolTip(ToQ(button.tooltip));
        action->setObjectName(ToQ(button.key));
        // The button shows only its image; screen readers say its tooltip.
        m.tlbMain->widgetForAction(action)->setAccessibleName(action->toolTip());
        action->setCheckable(button.command == Command::kTopMost);
        m.tlbButtons.push_back(action);
        m.bound.emplace_back(button.command, action);
    }
    return m;
}

std::vector<QAction*> MainMenus::Actions(Command command) const {
    std::vector<QAction*> actions;
    for (const auto& [boundCommand, action] : bound) {
        if (boundCommand == command) {
            actions.push_back(action);
        }
    }
    return actions;
}

QAction* MainMenus::Find(Command command) const {
    for (const auto& [boundCommand, action] : bound) {
        if (boundCommand == command) {
            return action;
        }
    }
    return nullptr;
}

void MainMenus::ListMoveTargets(const QComboBox& groups) const {
    QList<QAction*> entries = mnuMove->actions();
    const int n = groups.count();
    entries[0]->setVisible(true);
    for (qsizetype i = 1; i < entries.size(); ++i) {
        entries[i]->setVisible(false);
    }
    if (n == 0) {
        return;
    }
    for (int i = 1; i <= n; ++i) {
        if (i >= entries.size()) {
            entries.append(mnuMove->addAction(QString()));
        }
        QAction* entry = entries[i];
        // Group names may hold "&"; it must not become an access key.
        QString caption = groups.itemText(i - 1);
        entry->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setData(groups.itemText(i - 1));
        entry->setVisible(true);
        entry->setEnabled(i != groups.currentIndex() + 1);
    }
    entries[0]->setVisible(false);
}

}  // namespace zorvan
