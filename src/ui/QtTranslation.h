#pragma once

class QCoreApplication;

namespace zorvan {

// Makes the texts Qt itself supplies (standard buttons, file dialogs, the context
// menus of text boxes) Japanese, from the translations that come with Qt. Captions
// the program sets itself are not touched. False when no translation was found;
// Qt's English texts then stay.
bool InstallQtTranslation(QCoreApplication& app);

}  // namespace zorvan
