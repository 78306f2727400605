#pragma once

#include <QObject>

class QKeyEvent;

namespace zorvan {

class frmMain;

// The main window's key map. It sees every key press meant for the window or any
// of its controls once, before they do; only the Ctrl+Shift+arrow commands consume
// the key, every other key goes on to the control with the focus. A combination
// matches only with exactly its modifiers.
class MainKeys : public QObject {
    Q_OBJECT

public:
    explicit MainKeys(frmMain& main);

    // Handles one key press; true when the key is consumed.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool MoveToWorkAreaEdge(int key);

    frmMain& main_;
};

}  // namespace zorvan
