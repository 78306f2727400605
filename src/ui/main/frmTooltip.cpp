#include "ui/main/frmTooltip.h"

#include <QCursor>
#include <QLabel>

namespace zorvan {

frmTooltip::frmTooltip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("frmTooltip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    lblTooltip = new QLabel(this);
    lblTooltip->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblTooltip->setLineWidth(1);
    lblTooltip->setTextFormat(Qt::PlainText);
    lblTooltip->setWordWrap(false);
    lblTooltip->setAutoFillBackground(true);
    QPalette palette = lblTooltip->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::WindowText));
    lblTooltip->setPalette(palette);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &frmTooltip::Timer1_Timer);
}

QString frmTooltip::LayOut(const QString& text) {
    QString laidOut = text;
    laidOut.replace(QStringLiteral("\r\n"), QStringLiteral(" \r\n  "));
    return QLatin1Char(' ') + laidOut + QLatin1Char(' ');
}

void frmTooltip::ShowToolTip(const QString& /*strTitle*/, const QString& strToolTip) {
    if (strToolTip.isEmpty()) {
        hide();
        return;
    }
    // QLabel breaks lines at LF; CR LF would leave a stray CR glyph.
    QString shown = LayOut(strToolTip);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblTooltip->setText(shown);
    lblTooltip->adjustSize();
    lblTooltip->move(0, 0);
    const QPoint pointer = QCursor::pos();
    setGeometry(pointer.x(), pointer.y() + kBelowPointer, lblTooltip->width(),
                lblTooltip->height());
    show();
    raise();
    Timer1.start(kHideAfterMs);
}

QString frmTooltip::shownText() const {
    QString text = lblTooltip->text();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void frmTooltip::mousePressEvent(QMouseEvent* /*event*/) {
    ShowToolTip(QString(), QString());
}

void frmTooltip::Timer1_Timer() {
    lblTooltip->clear();
    hide();
    Timer1.stop();
}

}  // namespace zorvan
