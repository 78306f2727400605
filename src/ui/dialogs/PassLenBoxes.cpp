#include "ui/dialogs/PassLenBoxes.h"

#include "ui/Text.h"
#include "ui/UiServices.h"
#include "ui/dialogs/UpDownBox.h"

namespace zorvan {

namespace {
constexpr int kMaxDigits = 3;
}

PassLenBoxes::PassLenBoxes(UiServices& ui, QWidget* parent) : QObject(parent), ui_(ui) {
    for (int i = 0; i < 2; ++i) {
        auto* box = new UpDownBox(kMaxDigits, parent);
        box->setObjectName(QStringLiteral("txtPassLen%1").arg(i));
        txtPassLen[static_cast<std::size_t>(i)] = box;
        connect(box, &UpDownBox::upClick, this, [this, i] { updPassLen_UpClick(i); });
        connect(box, &UpDownBox::downClick, this, [this, i] { updPassLen_DownClick(i); });
    }
}

void PassLenBoxes::Load(const QString& minText, const QString& maxText) {
    txtPassLen[0]->setBoxText(minText);
    txtPassLen[1]->setBoxText(maxText);
}

QString PassLenBoxes::text(int index) const {
    return box(index)->boxText();
}

void PassLenBoxes::CheckPassLen() {
    std::string minText = FromQ(text(0));
    std::string maxText = FromQ(text(1));
    PasswordGenerator::CheckPassLen(minText, maxText);
    // Only a corrected box is rewritten, so the cursor stays where it was otherwise.
    if (ToQ(minText) != text(0)) {
        txtPassLen[0]->setBoxText(ToQ(minText));
    }
    if (ToQ(maxText) != text(1)) {
        txtPassLen[1]->setBoxText(ToQ(maxText));
    }
}

int PassLenBoxes::minimum() const {
    return PasswordGenerator::ParseNumber(FromQ(text(0))).value_or(PasswordGenerator::kDefaultMin);
}

int PassLenBoxes::maximum() const {
    return PasswordGenerator::ParseNumber(FromQ(text(1))).value_or(PasswordGenerator::kDefaultMax);
}

void PassLenBoxes::updPassLen_UpClick(int index) {
    Step(index, PasswordGenerator::Step::kUp);
}

void PassLenBoxes::updPassLen_DownClick(int index) {
    Step(index, PasswordGenerator::Step::kDown);
}

void PassLenBoxes::Step(int index, PasswordGenerator::Step step) {
    std::string minText = FromQ(text(0));
    std::string maxText = FromQ(text(1));
    const bool stepped = PasswordGenerator::StepLength(minText, maxText, index, step);
    for (int i = 0; i < 2; ++i) {
        const QString now = ToQ(i == 0 ? minText : maxText);
        if (now != text(i)) {
            txtPassLen[static_cast<std::size_t>(i)]->setBoxText(now);
        }
    }
    if (!stepped) {
        ui_.Beep();
    }
}

}  // namespace zorvan
