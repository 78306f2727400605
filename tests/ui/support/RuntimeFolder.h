#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

namespace zorvan::test {

// The user's runtime folder (XDG_RUNTIME_DIR), where running copies keep their
// claim, as a private folder of the test's own for as long as this lives. Copies
// started meanwhile inherit it.
class RuntimeFolder {
public:
    RuntimeFolder() : saved_(qgetenv("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
    }
    ~RuntimeFolder() {
        if (saved_.isNull()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", saved_);
        }
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

    QString path() const { return dir_.path(); }
    // What lies in it, sockets included.
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }
    // The path of the entry whose name ends with `suffix`, or of one that does not
    // when `suffix` starts with '!'.
    QString Find(const QString& suffix) const {
        const bool without = suffix.startsWith(QLatin1Char('!'));
        const QString tail = without ? suffix.mid(1) : suffix;
        for (const QString& name : Entries()) {
            if (name.endsWith(tail) != without) {
                return dir_.filePath(name);
            }
        }
        return QString();
    }

private:
    QTemporaryDir dir_;  // made 0700, as a runtime folder is
    QByteArray saved_;
};

}  // namespace zorvan::test
