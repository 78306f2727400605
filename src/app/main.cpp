#include <QApplication>
#include <cstdlib>

#include "app/ProgramArguments.h"
#include "app/Startup.h"
#include "platform/ProcessHardening.h"
#include "platform/ProgramFolder.h"
#include "platform/StorageError.h"
#include "ui/UiServices.h"

int main(int argc, char** argv) {
    zorvan::DisableCoreDumps();
    zorvan::HardenProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvan"));

    // ZORVAN_DATA_DIR points the program at another data folder than its own
    // (tests, trying it out); the vault normally lives beside the executable.
    const QByteArray dataDir = qgetenv("ZORVAN_DATA_DIR");
    const std::filesystem::path folder =
        dataDir.isEmpty() ? zorvan::ProgramFolder() : zorvan::Utf8ToPath(dataDir.toStdString());

    zorvan::QtUiServices ui;
    zorvan::Startup startup(folder, zorvan::ProgramArguments(), ui);
    if (!startup.Start()) {
        return 0;
    }
    return QApplication::exec();
}
