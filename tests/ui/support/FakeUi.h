#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "ui/UiServices.h"

namespace zorvan::test {

// Answers the windows' questions without a person: records every message and beep
// and gives scripted answers (OK or Yes when none is queued).
class FakeUi : public UiServices {
public:
    Answer Message(QWidget* /*parent*/, const QString& text, Buttons buttons) override {
        messages << text;
        if (duringMessage) {
            duringMessage();
        }
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::kYesNo ? Answer::kYes : Answer::kOk;
    }
    void Beep() override { ++beeps; }
    QString ChooseFile(QWidget* /*parent*/, const QString& title, const QString& filter) override {
        fileDialogs << title + QLatin1Char('|') + filter;
        return chosenFile;
    }

    QString ChooseFolder(QWidget* /*parent*/, const QString& title) override {
        fileDialogs << title;
        return chosenFile;
    }
    void OpenUrl(const QString& url) override { openedUrls << url; }
    void SetClipboardText(const QString& text, Clip kind) override {
        clipboard = text;
        ++clipboardWrites;
        clipboardSecret = kind == Clip::kSecret;
        clipboardOurs = true;
    }
    bool ClipboardHoldsOurs() override { return clipboardOurs; }
    void ClearClipboard() override {
        clipboard.clear();
        clipboardOurs = false;
        ++clipboardClears;
    }
    // The user copies something, here or in another program.
    void UserCopies(const QString& text) {
        clipboard = text;
        clipboardOurs = false;
    }

    QStringList messages;
    QStringList openedUrls;
    QString clipboard = QStringLiteral("<untouched>");
    bool clipboardSecret = false;
    bool clipboardOurs = false;
    int clipboardClears = 0;
    int beeps = 0;
    int clipboardWrites = 0;
    // Runs while a message is up, as the desktop might (moving the focus away).
    std::function<void()> duringMessage;
    std::deque<Answer> answers;
    QStringList fileDialogs;
    QString chosenFile;
};

}  // namespace zorvan::test
