#pragma once

#include <QDialog>
#include <array>

#include "platform/RandomSource.h"

class QCalendarWidget;
class QKeyEvent;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zorvan {

class frmMain;
class PassGenPage;
class TextLimit;
class UiServices;
struct ItemRecord;

// The item properties dialog: creates an item in the shown group (intEditSlot 0) or
// edits the item of the main window's intEditIndex / intEditSlot. Three pages: the
// item's fields, the password generator and the expiry date. Every save stores a
// new record and hands it to the main window's list.
class frmItem : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPages = 3;
    static constexpr int kFields = 5;
    static constexpr int kMemo = 4;

    explicit frmItem(frmMain& main);
    ~frmItem() override;

    // Does not show the dialog when the item could not be read.
    int exec() override;

    // The private handlers, public for the keyboard and for tests.
    void cmdItem_Click(int index);
    void ShowTab(int page);
    void lblItem_DblClick(int index);

    int currentPage() const { return intCurrentPage; }
    bool loadFailed() const { return loadFailed_; }
    QTabWidget* tabs() const { return tabItem; }
    QLabel* label(int index) const { return lblItem[static_cast<std::size_t>(index)]; }
    // Boxes 0 to 3; the memo is memoBox().
    QLineEdit* textBox(int index) const { return txtItem[static_cast<std::size_t>(index)]; }
    QPlainTextEdit* memoBox() const { return txtMemo; }
    QWidget* field(int index) const;
    QCheckBox* hidePassBox() const { return chkHidePass; }
    QCheckBox* expireBox() const { return chkExpire; }
    QCalendarWidget* calendar() const { return mvwExpire; }
    QPushButton* button(int index) const { return cmdItem[static_cast<std::size_t>(index)]; }
    PassGenPage* generator() const { return generator_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    void Form_Load();
    void LoadExisting();
    void tabItem_Click(int index);
    // Keys are previewed here before the controls see them; true when handled.
    bool Form_KeyDown(QObject* watched, const QKeyEvent& key);
    void txtItem_Change(int index);
    void txtItem_GotFocus(int index);
    void txtItem_LostFocus(int index);
    bool txtItem_KeyDown(int index, const QKeyEvent& key);
    // The index of a field box, or -1.
    int FieldIndex(const QObject* watched) const;
    void chkHidePass_Click();
    void chkExpire_Click();
    void mvwExpire_DateClick();
    void SetLabelBold(int index, bool bold);
    void EnableApply();
    bool Save();
    ItemRecord FromBoxes() const;
    void WipeBoxes();

    frmMain& main_;
    UiServices& ui_;
    RandomSource random_;
    int intCurrentPage = 0;
    bool loadFailed_ = false;

    QTabWidget* tabItem = nullptr;
    std::array<QWidget*, kPages> fraItem{};
    std::array<QLabel*, kFields> lblItem{};
    std::array<QLineEdit*, 4> txtItem{};
    QPlainTextEdit* txtMemo = nullptr;
    TextLimit* memoLimit_ = nullptr;
    QCheckBox* chkHidePass = nullptr;
    QCheckBox* chkExpire = nullptr;
    QCalendarWidget* mvwExpire = nullptr;
    PassGenPage* generator_ = nullptr;
    std::array<QPushButton*, 3> cmdItem{};
};

}  // namespace zorvan
