#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zorvan {

class UiServices;

// The group properties dialog: creates a group, or renames the shown group and
// sets or clears its write protection. The name is checked before anything is
// written; the input's apply makes the change.
class frmGroup : public QDialog {
    Q_OBJECT

public:
    // What OK asks for: a new group or the shown one renamed, with its protection.
    struct Choice {
        bool add = false;
        QString name;  // as the index will hold it
        bool readOnly = false;
    };
    struct Input {
        QStringList groups;     // every group, in the selector's order
        int shown = -1;         // the shown one's place among them
        bool readOnly = false;  // the shown one's protection
        bool topMost = false;
        // Makes the change; throws, having changed nothing, when it cannot.
        std::function<void(const Choice&)> apply;
    };

    frmGroup(Input input, UiServices& ui, QWidget* parent);

    // Prepares the dialog and shows it modally; returns when it has closed.
    void ShowGroupInfo(const QString& strGroupName, bool blnAddState);
    // Everything ShowGroupInfo does before showing the dialog.
    void PrepareGroupInfo(const QString& strGroupName, bool blnAddState);

    // 0 "OK", 1 "キャンセル".
    void cmdExecute_Click(int index);

    // The message for a name that breaks a rule, or empty for a good name.
    QString CheckName(const QString& name) const;

    QLineEdit* nameBox() const { return txtGroupName; }
    QCheckBox* readOnlyBox() const { return chkReadOnly; }
    QPushButton* button(int index) const { return cmdExecute[static_cast<std::size_t>(index)]; }
    bool addState() const { return blnAddState; }

private:
    Input input_;
    UiServices& ui_;
    bool blnAddState = false;

    QLineEdit* txtGroupName = nullptr;
    QCheckBox* chkReadOnly = nullptr;
    std::array<QPushButton*, 2> cmdExecute{};
};

}  // namespace zorvan
