#pragma once

#include <QString>

#include "ui/dialogs/frmGroup.h"

namespace zorvan {

class frmMain;

// Makes what the group dialog asks for: writes the group's index line, then the
// main window's selector, status panel 2 and move submenu follow.
class GroupEditor {
public:
    explicit GroupEditor(frmMain& main);

    // Throws, having changed nothing, when the index cannot be written.
    void Apply(const frmGroup::Choice& choice);

private:
    void AddGroup(const QString& strGroupName);
    void RenameGroup(const QString& strGroupName);
    // The head of the group's index line: name, "#" and the flag.
    QString Head(const QString& name) const;
    void ShowFlag();

    frmMain& main_;
    bool readOnly_ = false;
};

}  // namespace zorvan
