#include "ui/dialogs/UpDownBox.h"

#include <QLineEdit>

namespace zorvan {

UpDownBox::UpDownBox(int maxLength, QWidget* parent)
    : QAbstractSpinBox(parent), maxLength_(maxLength) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setKeyboardTracking(true);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
}

QString UpDownBox::boxText() const {
    return lineEdit()->text();
}

void UpDownBox::setBoxText(const QString& text) {
    lineEdit()->setText(text);
}

void UpDownBox::stepBy(int steps) {
    // A page key or a fast wheel still moves one step: the owner's rules beep at
    // the limits step by step.
    if (steps > 0) {
        emit upClick();
    } else if (steps < 0) {
        emit downClick();
    }
}

QAbstractSpinBox::StepEnabled UpDownBox::stepEnabled() const {
    // Both directions always answer; an impossible step beeps instead of greying out.
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State UpDownBox::validate(QString& input, int& /*pos*/) const {
    return input.size() <= maxLength_ ? QValidator::Acceptable : QValidator::Invalid;
}

}  // namespace zorvan
