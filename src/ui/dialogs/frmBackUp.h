#pragma once

#include <QDateTime>
#include <QDialog>
#include <array>
#include <functional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zorvan {

class frmPass;
class UiServices;
struct Session;

// The backup dialog: lists the backups in the backup folder, makes a new one with
// a comment, restores a chosen one under that backup's own password, and deletes
// backups. After a restore blnRestored is set and the main window reloads.
class frmBackUp : public QDialog {
    Q_OBJECT

public:
    enum Button { kBackUp = 0, kRestore = 1, kDelete = 2, kClose = 3 };
    enum Column { kDateColumn = 0, kCommentColumn = 1, kFileColumn = 2 };

    // topMost: the main window is kept on top, and so is the dialog.
    frmBackUp(Session& session, UiServices& ui, bool topMost, QWidget* parent);
    ~frmBackUp() override;

    // Set when a restore has completed; the main window then runs its load sequence.
    bool blnRestored = false;

    // Fills the list anew from the backup folder.
    void Form_Load();
    void cmdBackUp_Click(int index);
    void lvwBackup_ItemClick(QTreeWidgetItem* item);
    void lvwBackup_DblClick();

    // For tests: the moment a backup is made at, and how the password dialog is shown
    // (modally by default).
    void SetClock(std::function<QDateTime()> now) { now_ = std::move(now); }
    void SetPasswordDialogRunner(std::function<void(frmPass&)> run) { runPass_ = std::move(run); }

    QTreeWidget* list() const { return lvwBackup; }
    QLineEdit* commentBox() const { return txtComment; }
    QPushButton* button(int index) const { return cmdBackUp[static_cast<std::size_t>(index)]; }

protected:
    // Form_KeyDown: Esc without modifiers closes the dialog.
    void keyPressEvent(QKeyEvent* event) override;
    // txtComment_GotFocus: from then on Enter makes a backup.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeBackup();
    void RestoreSelected();
    void DeleteSelected();
    void EnableButtons(bool enabled);
    // The row a restore works on: the current row if selected, else the first selected.
    QTreeWidgetItem* SelectedRow() const;
    void AddRow(const QString& date, const QString& comment, const QString& fileName);

    Session& session_;
    UiServices& ui_;
    bool topMost_ = false;
    std::function<QDateTime()> now_;
    std::function<void(frmPass&)> runPass_;

    QTreeWidget* lvwBackup = nullptr;
    QLineEdit* txtComment = nullptr;
    std::array<QPushButton*, 4> cmdBackUp{};
};

}  // namespace zorvan
