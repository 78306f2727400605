#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zorvan {

class frmMain;
class UiServices;

// The group properties dialog: creates a group, or renames the shown group and
// sets or clears its write protection. The name is checked before anything is
// written; the main window's selector, status panel 2 and move submenu follow.
class frmGroup : public QDialog {
    Q_OBJECT

public:
    explicit frmGroup(frmMain& main);

    // Prepares the dialog and shows it modally; returns when it has closed.
    void ShowGroupInfo(const QString& strGroupName, bool blnAddState);
    // Everything ShowGroupInfo does before showing the dialog.
    void PrepareGroupInfo(const QString& strGroupName, bool blnAddState);

    void AddGroup(const QString& strGroupName);
    void RenameGroup(const QString& strGroupName);

    // 0 "OK", 1 "キャンセル".
    void cmdExecute_Click(int index);

    // The message for a name that breaks a rule, or empty for a good name.
    QString CheckName(const QString& name) const;

    QLineEdit* nameBox() const { return txtGroupName; }
    QCheckBox* readOnlyBox() const { return chkReadOnly; }
    QPushButton* button(int index) const { return cmdExecute[static_cast<std::size_t>(index)]; }
    bool addState() const { return blnAddState; }

private:
    // The head of the group's index line: name, "#" and the flag.
    QString Head(const QString& name) const;
    void ShowFlag();

    frmMain& main_;
    UiServices& ui_;
    bool blnAddState = false;

    QLineEdit* txtGroupName = nullptr;
    QCheckBox* chkReadOnly = nullptr;
    std::array<QPushButton*, 2> cmdExecute{};
};

}  // namespace zorvan
