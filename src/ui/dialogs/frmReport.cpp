#include "ui/dialogs/frmReport.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/Text.h"
#include "ui/dialogs/DialogConventions.h"

namespace zorvan {

namespace {

constexpr int kBlockRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;

}  // namespace

frmReport::frmReport(const VaultReport& report, int days, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("パスワードの診断"));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("reportTree"));
    tree_->setHeaderLabels({QStringLiteral("アイテム"), QStringLiteral("グループ")});
    tree_->header()->setStretchLastSection(true);

    auto* weak = AddSection(QStringLiteral("弱いパスワード"), report.weak().size());
    for (const auto& item : report.weak()) {
        AddItem(weak, item);
    }
    auto* reused = AddSection(QStringLiteral("使い回しのパスワード"), report.reused().size());
    for (const auto& items : report.reused()) {
        auto* set = new QTreeWidgetItem(
            reused, {QString::number(items.size()) + QStringLiteral("件で同じパスワード")});
        for (const auto& item : items) {
            AddItem(set, item);
        }
    }
    auto* expired = AddSection(QStringLiteral("期限切れ"), report.expired().size());
    for (const auto& item : report.expired()) {
        AddItem(expired, item);
    }
    auto* soon =
        AddSection(QStringLiteral("期限間近（%1日以内）").arg(days), report.expiringSoon().size());
    for (const auto& item : report.expiringSoon()) {
        AddItem(soon, item);
    }
    tree_->expandAll();
    tree_->resizeColumnToContents(0);
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* row) { Choose(row); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addWidget(buttons);
    resize(480, 420);
    DialogConventions::Install(*this);
}

QTreeWidgetItem* frmReport::AddSection(const QString& title, std::size_t count) {
    auto* section = new QTreeWidgetItem(tree_, {title + QStringLiteral("（%1）").arg(count)});
    QFont bold = section->font(0);
    bold.setBold(true);
    section->setFont(0, bold);
    return section;
}

void frmReport::AddItem(QTreeWidgetItem* parent, const VaultReport::Item& item) {
    auto* row = new QTreeWidgetItem(parent, {ToQ(item.name), ToQ(item.group)});
    row->setData(0, kBlockRole, item.block);
    row->setData(0, kGroupRole, ToQ(item.group));
}

void frmReport::Choose(QTreeWidgetItem* row) {
    if (row == nullptr || !row->data(0, kBlockRole).isValid()) {
        return;  // a section's or a set's title
    }
    chosen_ = Chosen{row->data(0, kGroupRole).toString(), row->data(0, kBlockRole).toInt()};
    accept();
}

}  // namespace zorvan
