#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "tools/PasswordStrength.h"

class QLabel;
class QProgressBar;

namespace zorvan {

// How hard the password in a box is to guess: a thin bar coloured by level (red,
// orange, green, dark green) and the level's word beside it. It keeps no copy of the
// password, and takes no focus, so the tab order of the boxes around it stays.
class StrengthMeter : public QWidget {
    Q_OBJECT

public:
    explicit StrengthMeter(QWidget* parent = nullptr);
    ~StrengthMeter() override;

    // What the bar shows at least for any password: a guessable one like
    // "password" measures next to nothing, and an empty bar would look as if the
    // box were empty.
    static constexpr int kLeast = 4;

    // An empty password empties the bar and drops the word.
    void Show(const QString& password);

    int value() const;
    QString word() const;

private:
    void Colour(std::optional<PasswordStrength::Level> level);

    QProgressBar* bar_ = nullptr;
    QLabel* word_ = nullptr;
    std::optional<PasswordStrength::Level> level_;
};

}  // namespace zorvan
