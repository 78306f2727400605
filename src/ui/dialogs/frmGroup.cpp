#include "ui/dialogs/frmGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "platform/Codepage.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/DialogConventions.h"
#include "ui/dialogs/StoredName.h"
#include "vault/GroupIndex.h"

namespace zorvan {

frmGroup::frmGroup(Input input, UiServices& ui, QWidget* parent)
    : QDialog(parent), input_(std::move(input)), ui_(ui) {
    setObjectName(QStringLiteral("frmGroup"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    txtGroupName = new QLineEdit(this);
    txtGroupName->setObjectName(QStringLiteral("txtGroupName"));
    chkReadOnly = new QCheckBox(QStringLiteral("読取専用"), this);
    chkReadOnly->setObjectName(QStringLiteral("chkReadOnly"));
    cmdExecute[0] = new QPushButton(QStringLiteral("OK"), this);
    cmdExecute[1] = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdExecute[0]->setDefault(true);
    for (int i = 0; i < 2; ++i) {
        connect(cmdExecute[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdExecute_Click(i); });
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkReadOnly);
    buttons->addStretch();
    buttons->addWidget(cmdExecute[0]);
    buttons->addWidget(cmdExecute[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtGroupName);
    layout->addLayout(buttons);
    // A fixed dialog border: the dialog keeps the size of its controls.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    txtGroupName->setMinimumWidth(txtGroupName->fontMetrics().averageCharWidth() * 36);
    setTabOrder(txtGroupName, cmdExecute[0]);
    setTabOrder(cmdExecute[0], chkReadOnly);
    setTabOrder(chkReadOnly, cmdExecute[1]);
    DialogConventions::Install(*this);
}

void frmGroup::PrepareGroupInfo(const QString& strGroupName, bool add) {
    setWindowTitle(strGroupName + Res(res::kItemProperties));
    txtGroupName->setText(strGroupName);
    blnAddState = add;
    chkReadOnly->setChecked(!blnAddState && input_.readOnly);
    DialogConventions::KeepOnTop(*this, input_.topMost);
    txtGroupName->setFocus();
}

void frmGroup::ShowGroupInfo(const QString& strGroupName, bool add) {
    PrepareGroupInfo(strGroupName, add);
    exec();
}

QString frmGroup::CheckName(const QString& name) const {
    if (name.isEmpty()) {
        return Res(res::kEnterName);
    }
    if (!IsValidGroupName(FromQ(name))) {
        return Res(res::kGroupNameForbidden) + QStringLiteral("\r\n") +
               Res(res::kForbiddenCharacters);
    }
    const QString stored = AsStored(name);
    for (int i = 0; i < input_.groups.size(); ++i) {
        // Renaming the shown group to its own name only changes its flag.
        if (input_.groups[i] == stored && (blnAddState || i != input_.shown)) {
            return Res(res::kGroupExists);
        }
    }
    return {};
}

void frmGroup::cmdExecute_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    const QString name = txtGroupName->text();
    const QString problem = CheckName(name);
    if (!problem.isEmpty()) {
        ui_.Message(this, problem, UiServices::Buttons::kOk);
        return;
    }
    try {
        input_.apply(Choice{blnAddState, AsStored(name), chkReadOnly->isChecked()});
    } catch (const std::exception& error) {
        // Nothing was changed: the index write comes first. The name stays for a retry.
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return;
    }
    accept();
}

}  // namespace zorvan
