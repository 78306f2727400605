#include "ui/UiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/Text.h"

namespace zorvan {

UiServices::Answer QtUiServices::Message(QWidget* parent, const QString& text, Buttons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(Res(res::kAppTitle));
    box.setText(text);
    switch (buttons) {
        case Buttons::kOk:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::kYes;
        case QMessageBox::No:
            return Answer::kNo;
        case QMessageBox::Cancel:
            return Answer::kCancel;
        default:
            return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kOk;
    }
}

void QtUiServices::Beep() {
    QApplication::beep();
}

QString QtUiServices::ChooseFile(QWidget* parent, const QString& title, const QString& filter) {
    QFileDialog dialog(parent, title);
    dialog.setNameFilter(ToQtNameFilter(filter));
    dialog.setFileMode(QFileDialog::AnyFile);
    // One dialog serves export and import alike, so it takes new names too.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void QtUiServices::OpenUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void QtUiServices::SetClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString ToQtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty()) {
            filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
        }
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace zorvan
