#pragma once

#include <QPointer>
#include <QString>

class QMimeData;
class QWidget;

namespace zorvan {

// Everything the windows ask of the person in front of them: message boxes, beeps
// and file dialogs. The program uses the Qt implementation; tests answer with their own.
class UiServices {
public:
    enum class Buttons { kOk, kYesNo, kOkCancel };
    enum class Answer { kOk, kCancel, kYes, kNo };
    // A user ID or password is secret; a URL is not.
    enum class Clip { kPlain, kSecret };

    virtual ~UiServices() = default;

    // A message box titled with the application title.
    virtual Answer Message(QWidget* parent, const QString& text, Buttons buttons) = 0;
    virtual void Beep() = 0;
    // A file name chosen in the file dialog, or empty when cancelled. filter is in the
    // "description|pattern|description|pattern|" form.
    virtual QString ChooseFile(QWidget* parent, const QString& title, const QString& filter) = 0;
    // A folder chosen in the folder dialog, or empty when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title) = 0;
    // Hands a URL, unchanged, to the desktop's default handler; the result is ignored.
    virtual void OpenUrl(const QString& url) = 0;
    // Puts text on the clipboard, replacing what was there. A secret carries the
    // marks that ask clipboard managers and the system's clipboard history to
    // leave it out; what a paste gives is the text either way.
    virtual void SetClipboardText(const QString& text, Clip kind) = 0;
    // The clipboard still holds what SetClipboardText put there last: nothing
    // was copied since, in this program or another one.
    virtual bool ClipboardHoldsOurs() = 0;
    // Empties the clipboard.
    virtual void ClearClipboard() = 0;
};

class QtUiServices final : public UiServices {
public:
    Answer Message(QWidget* parent, const QString& text, Buttons buttons) override;
    void Beep() override;
    QString ChooseFile(QWidget* parent, const QString& title, const QString& filter) override;
    QString ChooseFolder(QWidget* parent, const QString& title) override;
    void OpenUrl(const QString& url) override;
    void SetClipboardText(const QString& text, Clip kind) override;
    bool ClipboardHoldsOurs() override;
    void ClearClipboard() override;

private:
    // What we put on the clipboard last. The clipboard owns it and deletes it
    // when anything else is copied, here or (for the clipboard of X11 and
    // Windows) in another program.
    QPointer<QMimeData> placed_;
};

// "desc|*.csv|desc2|*.*|" as a Qt name filter "desc (*.csv);;desc2 (*.*)".
QString ToQtNameFilter(const QString& filter);

}  // namespace zorvan
