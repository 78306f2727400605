#include "ui/main/MainStatusBar.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

#include "ui/ProtectionTexts.h"

namespace zorvan {

MainStatusBar::MainStatusBar(QMainWindow& window)
    : QObject(&window),
      window_(window),
      panel1_(new QLabel(&window)),
      panel2_(new QLabel(&window)),
      expiry_(new QLabel(&window)),
      format_(new QLabel(&window)),
      progress_(new QProgressBar(&window)) {
    QStatusBar* bar = window.statusBar();
    bar->addWidget(panel1_, 1);
    bar->addWidget(panel2_);
    expiry_->setObjectName(QStringLiteral("staExpiry"));
    connect(expiry_, &QLabel::linkActivated, this, &MainStatusBar::reportAsked);
    bar->addPermanentWidget(expiry_);
    format_->setObjectName(QStringLiteral("staFormat"));
    bar->addPermanentWidget(format_);
    progress_->setObjectName(QStringLiteral("prbMain"));
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(window.fontMetrics().averageCharWidth() * 16);
    progress_->hide();
    bar->addPermanentWidget(progress_);
    bar->setSizeGripEnabled(true);
}

QProgressBar* MainStatusBar::progressBar() const {
    return window_.isVisible() && window_.statusBar()->isVisible() ? progress_ : nullptr;
}

void MainStatusBar::FitSecondPanel() {
    panel2_->setFixedWidth(3 * window_.statusBar()->sizeHint().height());
}

void MainStatusBar::ShowFormat(bool sealed) {
    format_->setText(
        QString::fromUtf8(sealed ? protection::kStatusProtected : protection::kStatusLegacy));
}

void MainStatusBar::ShowExpiry(std::size_t expired, std::size_t expiringSoon) {
    expiry_->clear();
    if (expired == 0 && expiringSoon == 0) {
        return;
    }
    expiry_->setText(QStringLiteral("<a href=\"report\">期限切れ %1件・期限間近 %2件</a>")
                         .arg(expired)
                         .arg(expiringSoon));
}

}  // namespace zorvan
