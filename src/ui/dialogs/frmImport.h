#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "csv/CsvEngine.h"
#include "vault/BlockNumber.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace zorvan {

class Vault;
struct ItemRecord;
class LongOperation;
class UiServices;

// The import/export dialog: a CSV file row, the two direction buttons, a group row
// with its pop-up menu of groups, the append switch and a status bar. It moves the
// items of one group between the vault and the file and stays open afterwards.
// An operation that runs longer than the progress delay shows its progress and
// lets the windows repaint; input given meanwhile is dropped (LongOperation).
class frmImport : public QDialog {
    Q_OBJECT

public:
    // What the dialog shows and what it tells the main window while it runs.
    struct Input {
        Vault* vault = nullptr;  // open; items move through its key
        QString groupText;       // the group box's first text
        QString shownGroup;      // the group the main window lists; its imports show there
        bool topMost = false;
        // A group the import creates, for the main window's selector (not selected).
        std::function<void(const QString&)> groupCreated;
        // Around an import: the list takes its new rows in one step.
        std::function<void()> beginRows;
        std::function<void()> endRows;
        // An item imported into the shown group, and the rows so far shown at once.
        std::function<void(const ItemRecord&, BlockNumber)> itemShown;
        std::function<void()> flushRows;
        // After every import, done or not.
        std::function<void()> importEnded;
    };

    frmImport(Input input, UiServices& ui, QWidget* parent);
    ~frmImport() override;

    void cmdFile_Click();
    void cmdGroup_Click();
    // 1 onwards: the groups; 0 is the placeholder shown when there is none.
    void mnuGroupItem_Click(int index);
    void cmdExport_Click();
    void cmdImport_Click();
    void cmdClose_Click();

    // How long an operation runs before its progress is shown.
    void SetProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    bool busy() const { return busy_; }

    QPushButton* fileButton() const { return cmdFile; }
    QLineEdit* fileBox() const { return txtFile; }
    QPushButton* exportButton() const { return cmdExport; }
    QPushButton* importButton() const { return cmdImport; }
    QPushButton* groupButton() const { return cmdGroup; }
    QLineEdit* groupBox() const { return txtGroup; }
    QCheckBox* appendBox() const { return chkAppend; }
    QPushButton* closeButton() const { return cmdClose; }
    QStatusBar* statusBar() const { return staImport; }
    QLabel* statusPanel() const { return staPanel; }
    QProgressBar* progressBar() const { return prbProgress; }
    QMenu* groupMenu() const { return mnuGroup; }
    const std::vector<QAction*>& groupItems() const { return mnuGroupItem; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void AddGroupItem(const QString& name);
    void BeginRun(int statusId);
    // Hides the progress, shows the outcome and enables the direction buttons.
    void EndRun(bool ok, int doneId, int failedId);
    void Progress(std::size_t done, std::size_t total);
    CsvHooks Hooks(const QString& importGroup);

    Input input_;
    UiServices& ui_;
    bool busy_ = false;
    int progressDelay_;
    std::unique_ptr<LongOperation> run_;

    QPushButton* cmdFile = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdGroup = nullptr;
    QLineEdit* txtGroup = nullptr;
    QCheckBox* chkAppend = nullptr;
    QPushButton* cmdClose = nullptr;
    QStatusBar* staImport = nullptr;
    QLabel* staPanel = nullptr;
    QProgressBar* prbProgress = nullptr;
    QMenu* mnuGroup = nullptr;
    std::vector<QAction*> mnuGroupItem;
};

}  // namespace zorvan
