#pragma once

class QWidget;

namespace zorvan {

struct DataPaths;
class UiServices;

// After a password change or restore failed while installing its files (it had
// already committed), tries once more to finish it. True when the new vault now
// stands. Otherwise the user is told and the program ends at once, writing
// nothing more: a half-installed vault must be finished by the next start, before
// anything reads or writes it.
bool FinishCommittedChange(const DataPaths& paths, UiServices& ui, QWidget* parent);

}  // namespace zorvan
