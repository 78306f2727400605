#include "ui/dialogs/TextLimit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "ui/UiServices.h"

namespace zorvan {

namespace {

// Length in UTF-16 units of the character that starts at text[at].
qsizetype CharacterSize(const QString& text, qsizetype at) {
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2
                                                                                               : 1;
}

}  // namespace

TextLimit::TextLimit(QLineEdit* box, std::size_t maxLength, UiServices& ui)
    : QObject(box), line_(box), maxLength_(maxLength), ui_(ui), last_(box->text()) {
    // textEdited comes only from the user and before textChanged, so last_ still
    // holds the text before the edit.
    connect(box, &QLineEdit::textEdited, this, &TextLimit::LineEdited);
    connect(box, &QLineEdit::textChanged, this, [this] { last_ = line_->text(); });
}

TextLimit::TextLimit(QPlainTextEdit* box, std::size_t maxLength, UiServices& ui)
    : QObject(box), plain_(box), maxLength_(maxLength), ui_(ui), last_(box->toPlainText()) {
    connect(box, &QPlainTextEdit::textChanged, this, &TextLimit::PlainChanged);
}

TextLimit::~TextLimit() {
    // The last text may have been a password; the box itself is cleared by its owner.
    last_.fill(QChar());
}

void TextLimit::Assign(const QString& text) {
    assigning_ = true;
    if (plain_ != nullptr) {
        plain_->setPlainText(text);
        last_ = plain_->toPlainText();
    } else if (line_ != nullptr) {
        line_->setText(text);
    }
    assigning_ = false;
}

std::size_t TextLimit::Length(const QString& text, bool lineBreaksAsCrLf) {
    auto length = static_cast<std::size_t>(text.size());
    if (lineBreaksAsCrLf) {
        length += static_cast<std::size_t>(text.count(QLatin1Char('\n')));
    }
    return length;
}

QString TextLimit::Fit(const QString& before, const QString& after, std::size_t maxLength,
                       bool lineBreaksAsCrLf, bool* cut) {
    *cut = false;
    const std::size_t beforeLength = Length(before, lineBreaksAsCrLf);
    const std::size_t allowed = std::max(maxLength, beforeLength);
    if (Length(after, lineBreaksAsCrLf) <= allowed) {
        return after;
    }
    *cut = true;
    // The edit replaced what lies between the common head and tail of both texts.
    qsizetype head = 0;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (head < shorter && before[head] == after[head]) {
        ++head;
    }
    if (head > 0 && after[head - 1].isHighSurrogate()) {
        --head;
    }
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    if (tail > 0 && after[after.size() - tail].isLowSurrogate()) {
        --tail;
    }
    const QString kept = after.left(head) + after.right(tail);
    const std::size_t keptLength = Length(kept, lineBreaksAsCrLf);
    if (keptLength > allowed) {
        return before;
    }
    std::size_t budget = allowed - keptLength;
    const qsizetype insertedEnd = after.size() - tail;
    qsizetype end = head;
    while (end < insertedEnd) {
        const qsizetype size = CharacterSize(after, end);
        const std::size_t length = Length(after.mid(end, size), lineBreaksAsCrLf);
        if (length > budget) {
            break;
        }
        budget -= length;
        end += size;
    }
    return after.left(end) + after.right(tail);
}

void TextLimit::LineEdited(const QString& text) {
    bool cut = false;
    const QString fitted = Fit(last_, text, maxLength_, false, &cut);
    if (!cut) {
        return;
    }
    const int cursor = line_->cursorPosition() - static_cast<int>(text.size() - fitted.size());
    line_->setText(fitted);
    line_->setCursorPosition(std::max(0, cursor));
    ui_.Beep();
}

void TextLimit::PlainChanged() {
    const QString text = plain_->toPlainText();
    if (assigning_) {
        last_ = text;
        return;
    }
    bool cut = false;
    const QString fitted = Fit(last_, text, maxLength_, true, &cut);
    last_ = fitted;
    if (!cut) {
        return;
    }
    const int cursor =
        plain_->textCursor().position() - static_cast<int>(text.size() - fitted.size());
    assigning_ = true;
    plain_->setPlainText(fitted);
    assigning_ = false;
    QTextCursor at = plain_->textCursor();
    at.setPosition(std::clamp(cursor, 0, static_cast<int>(fitted.size())));
    plain_->setTextCursor(at);
    ui_.Beep();
}

}  // namespace zorvan
