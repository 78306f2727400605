#include "ui/dialogs/frmItem.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

#include "ui/Session.h"
#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/WindowServices.h"
#include "ui/dialogs/AsteriskStyle.h"
#include "ui/dialogs/DialogConventions.h"
#include "ui/dialogs/PassGenPage.h"
#include "ui/dialogs/StrengthMeter.h"
#include "ui/dialogs/TextLimit.h"
#include "vault/ItemRecord.h"
#include "vault/ItemStore.h"

namespace zorvan {

namespace {

constexpr int kPassword = 2;
constexpr std::size_t kMaxLength[frmItem::kFields] = {256, 128, 128, 512, 8192};

const QDate& DayZero() {
    static const QDate zero(1899, 12, 30);
    return zero;
}

double ToDays(const QDate& date) {
    return static_cast<double>(DayZero().daysTo(date));
}

// The day of a stored date-time; the time of day is dropped, as the calendar has none.
QDate FromDays(double days, const QCalendarWidget& calendar) {
    if (!std::isfinite(days)) {
        return {};
    }
    const double whole = std::trunc(days);
    const double first = ToDays(calendar.minimumDate());
    const double last = ToDays(calendar.maximumDate());
    if (whole < first || whole > last) {
        return {};
    }
    return DayZero().addDays(static_cast<qint64>(whole));
}

// The memo as stored: CR LF between lines.
QString MemoToStored(const QPlainTextEdit& memo) {
    // Raw text keeps non-breaking spaces; blocks are joined by paragraph separators.
    QString text = memo.document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    return text;
}

QString MemoFromStored(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool NoModifiers(const QKeyEvent& key) {
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

frmItem::frmItem(Input input, UiServices& ui, QWidget* parent)
    : QDialog(parent), input_(std::move(input)), ui_(ui) {
    setObjectName(QStringLiteral("frmItem"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildPages();
    Form_Load();
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    DialogConventions::Install(*this, [this] { cmdItem_Click(1); });
}

frmItem::~frmItem() {
    WipeBoxes();
}

int frmItem::exec() {
    if (loadFailed_) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void frmItem::BuildPages() {
    tabItem = new QTabWidget(this);
    tabItem->setObjectName(QStringLiteral("tabItem"));

    auto* fields = new QWidget(tabItem);
    fields->setObjectName(QStringLiteral("fraItem0"));
    auto* grid = new QGridLayout(fields);
    const QString captions[kFields] = {QStringLiteral("名前"), QStringLiteral("ID"),
                                       QStringLiteral("パス"), QStringLiteral("URL"),
                                       QStringLiteral("メモ")};
    auto* style = new AsteriskStyle;
    style->setParent(this);
    for (int i = 0; i < kFields; ++i) {
        auto* label = new QLabel(captions[i], fields);
        lblItem[static_cast<std::size_t>(i)] = label;
        grid->addWidget(label, i, 0, Qt::AlignTop);
        if (i == kMemo) {
            txtMemo = new QPlainTextEdit(fields);
            txtMemo->setObjectName(QStringLiteral("txtItem4"));
            txtMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
            txtMemo->setTabChangesFocus(true);
            memoLimit_ = new TextLimit(txtMemo, kMaxLength[i], ui_);
            connect(txtMemo, &QPlainTextEdit::textChanged, this, [this] { txtItem_Change(kMemo); });
            grid->addWidget(txtMemo, i, 1);
        } else {
            auto* box = new QLineEdit(fields);
            box->setObjectName(QStringLiteral("txtItem%1").arg(i));
            new TextLimit(box, kMaxLength[i], ui_);
            connect(box, &QLineEdit::textChanged, this, [this, i] { txtItem_Change(i); });
            txtItem[static_cast<std::size_t>(i)] = box;
            if (i == kPassword) {
                // The meter sits right under the box, in the same cell, so the rows
                // keep their numbers.
                strengthMeter_ = new StrengthMeter(fields);
                strengthMeter_->setObjectName(QStringLiteral("strengthMeter"));
                // Typed, pasted, loaded or applied from the generator alike.
                connect(box, &QLineEdit::textChanged, strengthMeter_, &StrengthMeter::Show);
                auto* column = new QVBoxLayout;
                column->setSpacing(2);
                column->addWidget(box);
                column->addWidget(strengthMeter_);
                grid->addLayout(column, i, 1);
            } else {
                grid->addWidget(box, i, 1);
            }
        }
        label->setBuddy(field(i));
    }
    txtItem[kPassword]->setStyle(style);
    chkHidePass = new QCheckBox(QStringLiteral("パスワードを隠す"), fields);
    connect(chkHidePass, &QCheckBox::clicked, this, &frmItem::chkHidePass_Click);
    grid->addWidget(chkHidePass, kFields, 1);
    grid->setRowStretch(kMemo, 1);

    generator_ = new PassGenPage(ui_, random_, tabItem);
    connect(generator_, &PassGenPage::passwordApplied, this, [this](const QString& password) {
        txtItem[kPassword]->setText(password);
        ShowTab(0);
    });

    auto* expiry = new QWidget(tabItem);
    expiry->setObjectName(QStringLiteral("fraItem2"));
    auto* expiryLayout = new QVBoxLayout(expiry);
    chkExpire = new QCheckBox(QStringLiteral("有効期限を設定する"), expiry);
    mvwExpire = new QCalendarWidget(expiry);
    mvwExpire->setObjectName(QStringLiteral("mvwExpire"));
    connect(chkExpire, &QCheckBox::clicked, this, &frmItem::chkExpire_Click);
    connect(mvwExpire, &QCalendarWidget::clicked, this, &frmItem::mvwExpire_DateClick);
    // A date chosen with the keys is an edit as well.
    connect(mvwExpire, &QCalendarWidget::selectionChanged, this, &frmItem::EnableApply);
    expiryLayout->addWidget(chkExpire);
    expiryLayout->addWidget(mvwExpire);
    expiryLayout->addStretch();

    fraItem = {fields, generator_, expiry};
    tabItem->addTab(fields, QStringLiteral("基本設定"));
    tabItem->addTab(generator_, QStringLiteral("パスワード"));
    tabItem->addTab(expiry, QStringLiteral("有効期間"));
    connect(tabItem, &QTabWidget::currentChanged, this, &frmItem::tabItem_Click);

    const QString buttonCaptions[] = {QStringLiteral("OK"), QStringLiteral("キャンセル"),
                                      QStringLiteral("適用")};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(buttonCaptions[i], this);
        button->setObjectName(QStringLiteral("cmdItem%1").arg(i));
        cmdItem[static_cast<std::size_t>(i)] = button;
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdItem_Click(i); });
    }
    cmdItem[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabItem, 1);
    layout->addLayout(buttons);
}

QWidget* frmItem::field(int index) const {
    if (index == kMemo) {
        return txtMemo;
    }
    return txtItem[static_cast<std::size_t>(index)];
}

void frmItem::Form_Load() {
    ShowTab(0);
    generator_->LoadSettings(input_.paths.strIniFile);
    if (input_.existing) {
        LoadExisting();
    } else {
        txtItem[0]->setText(Res(res::kNewItem));
        mvwExpire->setSelectedDate(QDate::currentDate());
    }
    for (int i = 0; i < kFields; ++i) {
        SetLabelBold(i, false);
    }
    chkHidePass->setChecked(input_.hidePassword);
    chkHidePass_Click();
    mvwExpire->setVisible(chkExpire->isChecked());
    DialogConventions::KeepOnTop(*this, input_.topMost);
    setWindowTitle(txtItem[0]->text() + Res(res::kItemProperties));
    cmdItem[2]->setEnabled(false);
    cmdItem[0]->setEnabled(!input_.readOnly);
}

void frmItem::LoadExisting() {
    try {
        if (!input_.block) {
            throw std::out_of_range("no item in this row");
        }
        const ItemRecord item = input_.load(*input_.block);
        txtItem[0]->setText(ToQ(item.ItemName));
        txtItem[1]->setText(ToQ(item.AccountID));
        txtItem[2]->setText(ToQ(item.AccountPass));
        txtItem[3]->setText(ToQ(item.RelatedURL));
        memoLimit_->Assign(MemoFromStored(ToQ(item.AccountMemo)));
        chkExpire->setChecked(item.HasExpiry());
        const QDate date = FromDays(item.ExpireDate, *mvwExpire);
        mvwExpire->setSelectedDate(date.isValid() ? date : QDate::currentDate());
    } catch (const std::exception& error) {
        // Editing what could not be read would overwrite the item with empty fields.
        loadFailed_ = true;
        ui_.Message(parentWidget(), ToQ(error.what()), UiServices::Buttons::kOk);
    }
}

void frmItem::ShowTab(int page) {
    intCurrentPage = page;
    const QSignalBlocker block(tabItem);
    tabItem->setCurrentIndex(page);
}

void frmItem::tabItem_Click(int index) {
    if (index >= 0 && index != intCurrentPage) {
        ShowTab(index);
    }
}

void frmItem::SetLabelBold(int index, bool bold) {
    QLabel* label = lblItem[static_cast<std::size_t>(index)];
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

void frmItem::EnableApply() {
    if (!input_.readOnly) {
        cmdItem[2]->setEnabled(true);
    }
}

void frmItem::txtItem_Change(int index) {
    SetLabelBold(index, true);
    EnableApply();
}

void frmItem::chkHidePass_Click() {
    txtItem[kPassword]->setEchoMode(chkHidePass->isChecked() ? QLineEdit::Password
                                                             : QLineEdit::Normal);
}

void frmItem::chkExpire_Click() {
    EnableApply();
    mvwExpire->setVisible(chkExpire->isChecked());
}

void frmItem::mvwExpire_DateClick() {
    EnableApply();
    chkExpire->setFocus();
}

void frmItem::lblItem_DblClick(int index) {
    if (index != kPassword) {
        return;
    }
    // Only a fresh password is applied: after a failed generation the password
    // field keeps what the user had.
    if (generator_->Generate()) {
        generator_->Apply();
    }
}

int frmItem::FieldIndex(const QObject* watched) const {
    for (int i = 0; i < kFields; ++i) {
        if (watched == field(i)) {
            return i;
        }
    }
    return -1;
}

bool frmItem::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (Form_KeyDown(watched, *static_cast<QKeyEvent*>(event))) {
                return true;
            }
            break;
        case QEvent::FocusIn:
            if (const int index = FieldIndex(watched); index >= 0) {
                txtItem_GotFocus(index);
            }
            break;
        case QEvent::FocusOut:
            if (const int index = FieldIndex(watched); index >= 0) {
                txtItem_LostFocus(index);
            }
            break;
        case QEvent::MouseButtonDblClick:
            for (int i = 0; i < kFields; ++i) {
                if (watched == lblItem[static_cast<std::size_t>(i)]) {
                    lblItem_DblClick(i);
                    return true;
                }
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmItem::Form_KeyDown(QObject* watched, const QKeyEvent& key) {
    const auto modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool tab = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
    if (tab && modifiers == Qt::ControlModifier && key.key() == Qt::Key_Tab) {
        ShowTab((intCurrentPage + 1) % kPages);
        return true;
    }
    if (tab && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        ShowTab((intCurrentPage + kPages - 1) % kPages);
        return true;
    }
    const int index = FieldIndex(watched);
    return index >= 0 && txtItem_KeyDown(index, key);
}

void frmItem::txtItem_GotFocus(int index) {
    if (index == kMemo) {
        txtMemo->selectAll();
        // Enter makes a new line in the memo instead of pressing OK.
        cmdItem[0]->setDefault(false);
    } else {
        txtItem[static_cast<std::size_t>(index)]->selectAll();
    }
}

void frmItem::txtItem_LostFocus(int index) {
    if (index == kMemo) {
        cmdItem[0]->setDefault(true);
    }
}

bool frmItem::txtItem_KeyDown(int index, const QKeyEvent& key) {
    // The four single-line boxes and the memo form a ring; the memo keeps its
    // arrows for moving between its lines.
    if (index == kMemo || !NoModifiers(key)) {
        return false;
    }
    if (key.key() == Qt::Key_Up) {
        field((index + kFields - 1) % kFields)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key.key() == Qt::Key_Down) {
        field((index + 1) % kFields)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void frmItem::cmdItem_Click(int index) {
    if (index == 1) {
        reject();
        return;
    }
    if (!Save()) {
        return;
    }
    if (index == 0) {
        accept();
    }
}

bool frmItem::Save() {
    if (input_.readOnly) {
        return false;
    }
    if (input_.group.isEmpty()) {
        // With no group the record would be reachable from no index line.
        ui_.Message(this, Res(res::kNoGroupSelected), UiServices::Buttons::kOk);
        return false;
    }
    try {
        input_.save(FromBoxes());
    } catch (const std::exception& error) {
        ui_.Message(this, ToQ(error.what()), UiServices::Buttons::kOk);
        return false;
    }
    cmdItem[2]->setEnabled(false);
    return true;
}

ItemRecord frmItem::FromBoxes() const {
    ItemRecord item;
    item.ItemName = FromQ(txtItem[0]->text());
    item.AccountID = FromQ(txtItem[1]->text());
    item.AccountPass = FromQ(txtItem[2]->text());
    item.RelatedURL = FromQ(txtItem[3]->text());
    item.AccountMemo = FromQ(MemoToStored(*txtMemo));
    item.Expire = chkExpire->isChecked() ? 1 : 0;
    item.ExpireDate = ToDays(mvwExpire->selectedDate());
    return item;
}

void frmItem::WipeBoxes() {
    // setText also drops the undo history, which holds earlier texts.
    for (QLineEdit* box : txtItem) {
        const QSignalBlocker block(box);
        box->setText(QString());
    }
    const QSignalBlocker block(txtMemo);
    txtMemo->clear();
}

}  // namespace zorvan
