#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "platform/RandomSource.h"
#include "ui/Session.h"
#include "vault/BlockNumber.h"

class QCalendarWidget;
class QKeyEvent;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zorvan {

class PassGenPage;
class StrengthMeter;
class TextLimit;
class UiServices;
struct ItemRecord;

// The item properties dialog: creates an item in the shown group or edits one of its
// items. Three pages: the item's fields, the password generator and the expiry
// date. Every save hands the item to the input's save, which stores it.
class frmItem : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPages = 3;
    static constexpr int kFields = 5;
    static constexpr int kMemo = 4;

    struct Input {
        DataPaths paths;
        bool existing = false;             // editing an item, not making one
        std::optional<BlockNumber> block;  // the edited item's record; none when unknown
        QString group;                     // the shown group; empty for none
        bool readOnly = false;             // the group is write-protected
        bool hidePassword = true;
        bool topMost = false;
        // Reads the edited item's record; throws when it cannot.
        std::function<ItemRecord(BlockNumber)> load;
        // Stores the item; throws when it cannot.
        std::function<void(const ItemRecord&)> save;
    };

    frmItem(Input input, UiServices& ui, QWidget* parent);
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
    StrengthMeter* strengthMeter() const { return strengthMeter_; }

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

    Input input_;
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
    StrengthMeter* strengthMeter_ = nullptr;
    QCheckBox* chkHidePass = nullptr;
    QCheckBox* chkExpire = nullptr;
    QCalendarWidget* mvwExpire = nullptr;
    PassGenPage* generator_ = nullptr;
    std::array<QPushButton*, 3> cmdItem{};
};

}  // namespace zorvan
