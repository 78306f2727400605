#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace zorvan {

// A long operation run to its end on the user-interface thread (the vault files and
// the cipher key are never touched from another thread). Once it has run for the
// progress delay, it shows its progress and, at most every kPumpEveryMs, lets the
// windows repaint and the window system be served. Clicks and keys that arrive
// meanwhile are dropped rather than postponed: postponed, a click on a command would
// run it right after, a second import for instance. Closing a window and whatever is
// handed to Later wait until the operation has ended, so nothing else writes or
// types in the middle of it and its effects keep their order.
class LongOperation : public QObject {
    Q_OBJECT

public:
    static constexpr int kPumpEveryMs = 40;

    // bar: shown with the progress once the delay has passed; without a bar (or with
    // one in a window that is not shown) a progress dialog with this label appears.
    LongOperation(QWidget* owner, QProgressBar* bar, QString label);
    ~LongOperation() override;
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;

    // done of total steps so far.
    void Progress(std::size_t done, std::size_t total);
    // The same without news of the amount, for work that follows the counted part.
    void Tick();
    // Whether the next Progress or Tick will repaint, so that a caller can first put
    // what it has so far on screen.
    bool RepaintDue() const;
    bool progressShown() const { return shown_; }
    void SetProgressDelay(int milliseconds) { delay_ = milliseconds; }

    // How long operations wait before showing progress (500 ms; tests use 0).
    static void SetDefaultProgressDelay(int milliseconds);
    static int defaultProgressDelay();
    // Whether a long operation runs now.
    static bool Running();
    // Runs action from the event loop once no long operation runs.
    static void Later(std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();
    void Pump();

    QPointer<QWidget> owner_;
    QPointer<QProgressBar> bar_;
    QString label_;
    QProgressDialog* dialog_ = nullptr;
    int delay_;
    bool shown_ = false;
    QElapsedTimer clock_;
    QElapsedTimer pumped_;
};

}  // namespace zorvan
