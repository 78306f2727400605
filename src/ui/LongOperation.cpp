#include "ui/LongOperation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <QWidget>
#include <algorithm>

#include "ui/Text.h"

namespace zorvan {

namespace {

constexpr int kProgressSteps = 1000;

int runningCount = 0;
int defaultDelay = 500;
std::vector<std::function<void()>>& Waiting() {
    static std::vector<std::function<void()>> waiting;
    return waiting;
}

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::HoverMove:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::ToolTip:
        case QEvent::WhatsThis:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace

LongOperation::LongOperation(QWidget* owner, QProgressBar* bar, QString label)
    : owner_(owner), bar_(bar), label_(std::move(label)), delay_(defaultDelay) {
    ++runningCount;
    qApp->installEventFilter(this);
    clock_.start();
}

LongOperation::~LongOperation() {
    qApp->removeEventFilter(this);
    if (bar_ != nullptr && shown_) {
        bar_->hide();
    }
    delete dialog_;
    if (--runningCount == 0) {
        for (auto& action : Waiting()) {
            QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
        }
        Waiting().clear();
    }
}

void LongOperation::SetDefaultProgressDelay(int milliseconds) {
    defaultDelay = milliseconds;
}

int LongOperation::defaultProgressDelay() {
    return defaultDelay;
}

bool LongOperation::Running() {
    return runningCount > 0;
}

void LongOperation::Later(std::function<void()> action) {
    if (Running()) {
        Waiting().push_back(std::move(action));
    } else {
        QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
    }
}

bool LongOperation::RepaintDue() const {
    if (!shown_) {
        return clock_.elapsed() >= delay_;
    }
    return !pumped_.isValid() || pumped_.elapsed() >= kPumpEveryMs;
}

void LongOperation::Progress(std::size_t done, std::size_t total) {
    if (!shown_ && clock_.elapsed() < delay_) {
        return;
    }
    Show();
    if (total > 0) {
        const int value = static_cast<int>(std::min(done, total) * kProgressSteps / total);
        if (dialog_ != nullptr) {
            dialog_->setValue(value);
        } else if (bar_ != nullptr) {
            bar_->setValue(value);
        }
    }
    Tick();
}

void LongOperation::Tick() {
    if (!shown_ && clock_.elapsed() < delay_) {
        return;
    }
    Show();
    if (RepaintDue()) {
        Pump();
    }
}

void LongOperation::Show() {
    if (shown_) {
        return;
    }
    shown_ = true;
    if (bar_ != nullptr && bar_->window()->isVisible()) {
        bar_->setRange(0, kProgressSteps);
        bar_->setValue(0);
        bar_->show();
        return;
    }
    bar_ = nullptr;
    // No cancel button: stopping half-way would leave another outcome than either end.
    dialog_ = new QProgressDialog(label_, QString(), 0, kProgressSteps, owner_);
    dialog_->setWindowTitle(Res(res::kAppTitle));
    dialog_->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setValue(0);
    dialog_->show();
}

void LongOperation::Pump() {
    pumped_.start();
    // All events, so that input is taken off the queue too and dropped here.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool LongOperation::eventFilter(QObject* watched, QEvent* event) {
    if (IsUserInput(event->type())) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Close && event->spontaneous() && watched->isWidgetType()) {
        // The window closes once the operation has ended.
        Later([window = QPointer<QWidget>(static_cast<QWidget*>(watched))] {
            if (window != nullptr) {
                window->close();
            }
        });
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zorvan
