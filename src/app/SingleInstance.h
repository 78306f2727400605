#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace zorvan {

// Keeps the program to one running copy per data folder. The first copy claims
// the folder and listens; a later copy finds it, asks it to bring its last active
// window to the front, and ends without touching any file of the folder.
//
// The claim is a lock file in the system's temporary folder, named after a hash of
// the data folder's canonical path; the running copy listens on a local socket
// (a named pipe on Windows) named after the same hash. A QCoreApplication must
// exist before Claim(), and the running copy needs its event loop to answer.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const std::filesystem::path& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the folder's running copy. False when another
    // copy runs; that copy has then been asked to show itself.
    bool Claim();

signals:
    // A later copy asked this one to bring its last active window to the front.
    void activationRequested();

private:
    // Becomes the running copy once the lock is held (or cannot be made at all).
    // False when a copy that lost its lock file still answers; it has then been
    // asked to show itself.
    bool TakeOver();
    // One attempt to reach the running copy and ask it to show itself. True when a
    // running copy answered the connection.
    bool AskRunningCopy(int connectTimeoutMs) const;
    void AcceptConnections();
    void ReadRequests(QLocalSocket* socket);

    std::filesystem::path dataFolder_;
    QString serverName_;
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    bool claimed_ = false;
};

}  // namespace zorvan
