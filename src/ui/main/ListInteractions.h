#pragma once

#include <QObject>

class QMouseEvent;

namespace zorvan {

class frmMain;

// How the item list answers the mouse: heading clicks sort and mark the heading,
// a row click remembers the row and enables the commands that apply to it, a click
// on empty space disables them, a right-button release opens the context menu, a
// double click opens the item dialog and hovering shows the row's memo.
class ListInteractions : public QObject {
    Q_OBJECT

public:
    static constexpr QStringView kAscendingMark = u" ▽";
    static constexpr QStringView kDescendingMark = u" △";

    explicit ListInteractions(frmMain& main);

    void lvwMain_ColumnClick(int column);
    void lvwMain_ItemClick(int row);
    // A press on empty space; modifiers are Qt's.
    void ClickEmptySpace(Qt::KeyboardModifiers modifiers);
    void lvwMain_MouseMove(const QPoint& viewportPos);

    int sortKey() const { return sortKey_; }
    bool sortAscending() const { return ascending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmMain& main_;
    int sortKey_ = 0;  // 0-based column
    bool ascending_ = true;
};

}  // namespace zorvan
