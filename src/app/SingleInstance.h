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
// The claim is a lock file named after a hash of the data folder's canonical
// path, in a folder only this user can reach (PrivateRuntimeFolder: the user's
// runtime folder, else a private folder inside the data folder). The running copy
// listens on a local socket beside it; on Windows on a named pipe whose name
// holds the user's SID and the same hash. Both ends check that the other runs as
// the same user, so nothing another user plants can stop a start or receive a
// request. A QCoreApplication must exist before Claim(), and the running copy
// needs its event loop to answer.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        // This process is now the folder's running copy.
        kFirst,
        // Another copy of this user's runs, and has been asked to show itself.
        kActivated,
        // Another copy holds the folder but never answered; refusal() says so.
        kRefused,
    };

    explicit SingleInstance(const std::filesystem::path& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome Claim();
    // Why the start was refused, for the user (Japanese).
    const QString& refusal() const { return refusal_; }

signals:
    // A later copy asked this one to bring its last active window to the front.
    void activationRequested();

private:
    // Finds the private folder and names the lock and the socket. False when no
    // private folder can be had.
    bool ChooseNames();
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
    QString refusal_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    bool claimed_ = false;
};

}  // namespace zorvan
