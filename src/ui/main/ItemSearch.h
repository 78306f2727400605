#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class QLineEdit;

namespace zorvan {

class frmMain;
class SearchIndex;

// Find as you type over the whole vault: the box above the list filters every
// group's items by name, user ID, URL and memo (never the password), and the list
// shows the hits with their group in an extra column. Ctrl+F goes to the box and
// Esc in it back to the group. The index lives in memory
// only, and is built again when the vault changed since it was made.
class ItemSearch : public QObject {
    Q_OBJECT

public:
    // Hits beyond this are not listed; the status bar says so.
    static constexpr std::size_t kMostRows = 1000;

    ItemSearch(frmMain& main, QLineEdit& box);
    ~ItemSearch() override;

    bool active() const { return active_; }
    // Lists the hits of text; an empty text goes back to the group shown before.
    void Run(const QString& text);
    // Back to the group view with an empty box.
    void Leave();
    // Drops the index and its texts (the vault is about to close).
    void Forget();
    // Whether a selected row lies in a write-protected group.
    bool SelectionReadOnly() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const QString& text);

    frmMain& main_;
    QLineEdit& box_;
    std::unique_ptr<SearchIndex> index_;
    std::uint64_t indexedAt_ = 0;
    bool active_ = false;
};

}  // namespace zorvan
