#pragma once

#include <QObject>
#include <array>
#include <string>

#include "tools/PasswordGenerator.h"

class QWidget;

namespace zorvan {

class UiServices;
class UpDownBox;

// The two length boxes of the password generator (minimum and maximum, each with
// its spinner), as the item dialog's generator page and the options dialog show
// them: typed texts are corrected silently, impossible steps beep.
class PassLenBoxes : public QObject {
    Q_OBJECT

public:
    PassLenBoxes(UiServices& ui, QWidget* parent);

    // txtPassLen(index) with updPassLen(index): 0 minimum, 1 maximum.
    UpDownBox* box(int index) const { return txtPassLen[static_cast<std::size_t>(index)]; }

    // The stored texts, put in unchanged.
    void Load(const QString& minText, const QString& maxText);
    QString text(int index) const;

    // Corrects both boxes; afterwards they hold numbers in 1..128, minimum first.
    void CheckPassLen();
    int minimum() const;
    int maximum() const;

    void updPassLen_UpClick(int index);
    void updPassLen_DownClick(int index);

private:
    void Step(int index, PasswordGenerator::Step step);

    UiServices& ui_;
    std::array<UpDownBox*, 2> txtPassLen{};
};

}  // namespace zorvan
