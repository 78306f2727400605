// A stand-in for the program's start-up, run as real processes by SingleInstanceTest.
//
// Usage: SingleInstanceProbe DATA_FOLDER
// Claims the folder. A later copy prints "second" and ends at once, or "refused"
// when the running copy never answers. The running copy
// prints "first", then "activated" each time a later copy asks it to show itself,
// and ends when its standard input closes (or after two minutes at most).

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "app/SingleInstance.h"
#include "platform/StorageError.h"

namespace {

constexpr int kMaxLifeMs = 120 * 1000;

void Say(const char* word) {
    std::fputs(word, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Blocks until standard input reaches its end (or fails).
void WaitForEndOfInput() {
    char buffer[256];
    for (;;) {
#ifdef _WIN32
        const int got = _read(0, buffer, static_cast<unsigned>(sizeof buffer));
#else
        const auto got = read(0, buffer, sizeof buffer);
#endif
        if (got > 0 || (got < 0 && errno == EINTR)) {
            continue;
        }
        return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: SingleInstanceProbe DATA_FOLDER\n", stderr);
        return 2;
    }

    auto instance =
        std::make_unique<zorvan::SingleInstance>(zorvan::Utf8ToPath(arguments[1].toStdString()));
    switch (instance->Claim()) {
        case zorvan::SingleInstance::Outcome::kFirst:
            break;
        case zorvan::SingleInstance::Outcome::kActivated:
            Say("second");
            return 0;
        case zorvan::SingleInstance::Outcome::kRefused:
            Say("refused");
            return 0;
    }
    Say("first");
    QObject::connect(instance.get(), &zorvan::SingleInstance::activationRequested,
                     [] { Say("activated"); });
    QTimer::singleShot(kMaxLifeMs, &app, &QCoreApplication::quit);

    std::atomic<bool> inputClosed = false;
    std::thread reader([&app, &inputClosed] {
        WaitForEndOfInput();
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        inputClosed = true;
    });
    QCoreApplication::exec();

    // Give up the claim the ordinary way.
    instance.reset();
    if (inputClosed) {
        reader.join();
        return 0;
    }
    // Ended by the time limit while the reader still waits on the input: leave
    // without waiting for it.
    std::fflush(stdout);
    std::_Exit(0);
}
