#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

namespace zorvan {

// A text box with an up-down spinner. It holds free text (a length box must be able
// to hold "abc" until it is corrected) and only reports the steps: the spinner
// buttons, the Up and Down arrow keys and the mouse wheel emit upClick or downClick,
// and the owner decides what a step does. Typing is limited to maxLength characters;
// text put in by the program is not limited.
class UpDownBox : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit UpDownBox(int maxLength, QWidget* parent = nullptr);

    QString boxText() const;
    void setBoxText(const QString& text);
    QLineEdit* edit() const { return lineEdit(); }

    void stepBy(int steps) override;

signals:
    void upClick();
    void downClick();

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    int maxLength_;
};

}  // namespace zorvan
