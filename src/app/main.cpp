#include <QApplication>
#include <cstdlib>

#include "app/DataFolder.h"
#include "app/ProgramArguments.h"
#include "app/Startup.h"
#include "platform/ProcessHardening.h"
#include "ui/QtTranslation.h"
#include "ui/UiServices.h"
#include "ui/main/Icons.h"

int main(int argc, char** argv) {
    zorvan::DisableCoreDumps();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvan"));
    QApplication::setWindowIcon(zorvan::icons::ProgramIcon());
    zorvan::InstallQtTranslation(app);

    const std::filesystem::path folder =
        zorvan::ChooseDataFolder(zorvan::CurrentDataFolderSources());

    zorvan::QtUiServices ui;
    zorvan::Startup startup(folder, zorvan::ProgramArguments(), ui);
    if (!startup.Start()) {
        return 0;
    }
    return QApplication::exec();
}
