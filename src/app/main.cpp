#include <QApplication>
#include <cstdlib>
#include <utility>

#include "app/Startup.h"
#include "platform/ProcessHardening.h"
#include "tools/LaunchArguments.h"
#include "ui/QtTranslation.h"
#include "ui/UiServices.h"
#include "ui/main/Icons.h"
#include "vault/DataFolder.h"

int main(int argc, char** argv) {
    zorvan::DisableCoreDumps();
    // Before Qt or anything else copies the arguments: the password is taken out
    // and blanked where other processes read the command line.
    zorvan::LaunchArguments launch = zorvan::TakeLaunchArguments(argc, argv);
    zorvan::HardenProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvan"));
    QApplication::setWindowIcon(zorvan::icons::ProgramIcon());
    zorvan::InstallQtTranslation(app);

    const std::filesystem::path folder =
        zorvan::ChooseDataFolder(zorvan::CurrentDataFolderSources());

    zorvan::QtUiServices ui;
    zorvan::Startup startup(folder, std::move(launch.password), ui);
    if (!startup.Start()) {
        return 0;
    }
    return QApplication::exec();
}
