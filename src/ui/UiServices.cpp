#include "ui/UiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
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

QString QtUiServices::ChooseFolder(QWidget* parent, const QString& title) {
    return QFileDialog::getExistingDirectory(parent, title);
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

void QtUiServices::SetClipboardText(const QString& text, Clip kind) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto* data = new QMimeData;
    data->setText(text);
    if (kind == Clip::kSecret) {
        // The marks that password managers use, read by clipboard managers and
        // by the system. Qt names the Windows clipboard format it registers for
        // a MIME type after the whole type (the application/x-qt-windows-mime
        // form only reads a format of that name), so the marks go in under the
        // format names themselves.
#ifdef Q_OS_WIN
        const QByteArray dword0(4, '\0');
        data->setData(QStringLiteral("ExcludeClipboardContentFromMonitorProcessing"), QByteArray());
        data->setData(QStringLiteral("CanIncludeInClipboardHistory"), dword0);
        data->setData(QStringLiteral("CanUploadToCloudClipboard"), dword0);
#else
        data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
#endif
    }
    placed_ = data;
    clipboard->setMimeData(data);
}

bool QtUiServices::ClipboardHoldsOurs() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Where the system tells (X11, Windows), another program's copy takes the
    // clipboard from us; our own copies replace, and so delete, our data.
    return placed_ != nullptr && (clipboard->ownsClipboard() || clipboard->mimeData() == placed_);
}

void QtUiServices::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
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
