#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

namespace zorvan {

// The one tooltip popup: a borderless window beside the pointer that never takes
// the focus and hides itself five seconds after it was last shown, or on a click.
class frmTooltip : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHideAfterMs = 5000;
    static constexpr int kBelowPointer = 24;

    explicit frmTooltip(QWidget* owner);

    // Shows the text at the pointer; an empty text hides the popup. The title is
    // accepted and not shown.
    void ShowToolTip(const QString& strTitle, const QString& strToolTip);

    // The text as laid out: one space before, CR LF followed by two spaces between
    // lines, one space after every line.
    static QString LayOut(const QString& text);

    QString shownText() const;
    QTimer& hideTimer() { return Timer1; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Timer1_Timer();

    QLabel* lblTooltip;
    QTimer Timer1;
};

}  // namespace zorvan
