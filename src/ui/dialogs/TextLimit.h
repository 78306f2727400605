#pragma once

#include <QObject>
#include <QString>
#include <cstddef>

class QLineEdit;
class QPlainTextEdit;

namespace zorvan {

class UiServices;

// Keeps what the user types into a box within a number of characters. An edit that would go beyond
// it keeps only as much of the inserted text as fits, and beeps. Text that the program puts in (a
// stored item that is already longer, a generated password) is never cut, so no data is lost.
class TextLimit : public QObject {
    Q_OBJECT

public:
    TextLimit(QLineEdit* box, std::size_t maxLength, UiServices& ui);
    // A multi-line box: each line break counts as CR LF, as it is stored.
    TextLimit(QPlainTextEdit* box, std::size_t maxLength, UiServices& ui);
    ~TextLimit() override;

    // Puts text into a multi-line box without limiting it.
    void Assign(const QString& text);

    // The result of editing before into after, with the inserted part cut so that
    // the text stays within maxLength (or within before's size, when before already
    // was longer). *cut tells whether anything was cut.
    static QString Fit(const QString& before, const QString& after, std::size_t maxLength,
                       bool lineBreaksAsCrLf, bool* cut);

    // Characters of text (UTF-16 units, as the boxes count them).
    static std::size_t Length(const QString& text, bool lineBreaksAsCrLf);

private:
    void LineEdited(const QString& text);
    void PlainChanged();

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
    std::size_t maxLength_;
    UiServices& ui_;
    QString last_;
    bool assigning_ = false;
};

}  // namespace zorvan
