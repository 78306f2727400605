#include "ui/dialogs/StrengthMeter.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "platform/SecretText.h"
#include "ui/Text.h"

namespace zorvan {

namespace {

const char* ColourOf(PasswordStrength::Level level) {
    switch (level) {
        case PasswordStrength::Level::kWeak:
            return "#d32f2f";
        case PasswordStrength::Level::kFair:
            return "#f57c00";
        case PasswordStrength::Level::kStrong:
            return "#43a047";
        case PasswordStrength::Level::kVeryStrong:
            return "#1b5e20";
    }
    return "#d32f2f";
}

}  // namespace

StrengthMeter::StrengthMeter(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setFocusPolicy(Qt::NoFocus);
    // Thin, so that it reads as a mark under the box rather than as progress.
    bar_->setFixedHeight(std::max(6, fontMetrics().height() / 2));
    word_ = new QLabel(this);
    word_->setFocusPolicy(Qt::NoFocus);
    // Room for the longest word, so that the bar keeps its width as the word changes.
    word_->setMinimumWidth(fontMetrics().horizontalAdvance(
        ToQ(PasswordStrength::Label(PasswordStrength::Level::kVeryStrong))));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_, 1);
    layout->addWidget(word_);
    Colour(std::nullopt);
}

StrengthMeter::~StrengthMeter() = default;

void StrengthMeter::Show(const QString& password) {
    if (password.isEmpty()) {
        bar_->setValue(0);
        word_->clear();
        Colour(std::nullopt);
        return;
    }
    const SecretText utf8 = SecretFromQ(password);
    const PasswordStrength::Result result = PasswordStrength::Measure(utf8.view());
    bar_->setValue(std::max(result.bar, kLeast));
    word_->setText(ToQ(PasswordStrength::Label(result.level)));
    Colour(result.level);
}

int StrengthMeter::value() const {
    return bar_->value();
}

QString StrengthMeter::word() const {
    return word_->text();
}

void StrengthMeter::Colour(std::optional<PasswordStrength::Level> level) {
    if (level == level_ && !bar_->styleSheet().isEmpty()) {
        return;  // restyling on every key would repolish the bar for nothing
    }
    level_ = level;
    // A style sheet, not the palette: native styles (Windows, macOS) ignore the
    // palette's highlight for the chunk. Styling the chunk needs the frame styled too.
    const QString chunk =
        level ? QStringLiteral("background-color: %1;").arg(QLatin1String(ColourOf(*level)))
              : QString();
    bar_->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid palette(mid); "
                                       "border-radius: 2px; background: palette(base); }"
                                       "QProgressBar::chunk { %1 }")
                            .arg(chunk));
}

}  // namespace zorvan
