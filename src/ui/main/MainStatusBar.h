#pragma once

#include <QObject>
#include <cstddef>

class QLabel;
class QMainWindow;
class QProgressBar;

namespace zorvan {

// The main window's status bar: two text panels, the link to the expiry report,
// the vault's format and the progress bar of long operations.
class MainStatusBar : public QObject {
    Q_OBJECT

public:
    explicit MainStatusBar(QMainWindow& window);

    QLabel* panel(int panel) const { return panel == 1 ? panel1_ : panel2_; }
    // The progress bar while the window and its status bar are shown, else none.
    QProgressBar* progressBar() const;
    // The second panel fits a short word, whatever the font.
    void FitSecondPanel();
    void ShowFormat(bool sealed);
    // Nothing when no item has expired or expires soon.
    void ShowExpiry(std::size_t expired, std::size_t expiringSoon);

signals:
    void reportAsked();

private:
    QMainWindow& window_;
    QLabel* panel1_;
    QLabel* panel2_;
    QLabel* expiry_;
    QLabel* format_;
    QProgressBar* progress_;
};

}  // namespace zorvan
