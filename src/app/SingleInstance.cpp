#include "app/SingleInstance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QtGlobal>
#include <system_error>

namespace zorvan {

namespace {

// How long a later copy keeps trying to reach the running copy, which may still be
// starting up. When it runs out, the later copy ends anyway: two copies must never
// work on one vault.
constexpr int kReachTimeoutMs = 5000;
// One connection attempt, and the pause between attempts.
constexpr int kConnectAttemptMs = 1000;
constexpr unsigned long kRetryPauseMs = 50;
// How long a later copy waits for the running copy to confirm the request. A
// running copy that is busy (a long load) answers once its event loop runs again.
constexpr int kAnswerTimeoutMs = 5000;

// The whole conversation: one line asks, one line confirms.
constexpr char kRequest[] = "zorvan:show\n";
constexpr char kAnswer[] = "zorvan:shown\n";
constexpr qint64 kMaxLine = 64;

// The folder's path with "." and "..", symbolic links and a trailing separator
// resolved, so that every spelling of one folder gives the same text. The folder
// need not exist yet; nothing is created.
QByteArray CanonicalFolderText(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (error) {
        absolute = folder;
    }
    std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    if (error) {
        canonical = absolute.lexically_normal();
    }
    if (!canonical.has_filename() && canonical.has_relative_path()) {
        canonical = canonical.parent_path();
    }
#ifdef Q_OS_WIN
    // Windows file names ignore case.
    return QString::fromStdWString(canonical.native()).toCaseFolded().toUtf8();
#else
    return QByteArray::fromStdString(canonical.native());
#endif
}

// The name shared by the lock file and the local socket of one data folder.
QString ClaimName(const std::filesystem::path& folder) {
    const QByteArray hash =
        QCryptographicHash::hash(CanonicalFolderText(folder), QCryptographicHash::Sha256);
    return QStringLiteral("zorvan-") + QString::fromLatin1(hash.toHex().left(32));
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& dataFolder, QObject* parent)
    : QObject(parent),
      dataFolder_(dataFolder),
      serverName_(ClaimName(dataFolder)),
      lockPath_(QDir(QDir::tempPath()).absoluteFilePath(serverName_ + QStringLiteral(".lock"))) {}

SingleInstance::~SingleInstance() {
    // Stop answering before giving up the claim: a copy that takes the claim next
    // must never have its socket removed by this one.
    if (server_ != nullptr) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lock_ != nullptr) {
        lock_->unlock();
    }
}

bool SingleInstance::Claim() {
    if (claimed_) {
        return true;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Only a dead owner makes the lock stale, never its age: a copy may run for weeks.
    lock_->setStaleLockTime(0);

    const QDeadlineTimer deadline(kReachTimeoutMs);
    for (;;) {
        if (lock_->tryLock(0)) {
            return TakeOver();
        }
        if (lock_->error() != QLockFile::LockFailedError) {
            // The lock file cannot be made at all (temporary folder missing or not
            // writable). Rather than never starting, run without the lock unless a
            // running copy answers.
            qWarning("Zorvan: cannot create %s; running without the one-copy lock",
                     qPrintable(QDir::toNativeSeparators(lockPath_)));
            return TakeOver();
        }
        // Another copy holds the folder. It may still be starting, or be ending.
        if (AskRunningCopy(kConnectAttemptMs)) {
            return false;
        }
        if (deadline.hasExpired()) {
            qWarning("Zorvan: another copy holds this data folder but does not answer");
            return false;
        }
        QThread::msleep(kRetryPauseMs);
    }
}

bool SingleInstance::TakeOver() {
    // A copy whose lock file was removed behind its back (temporary-folder
    // cleaners) still answers on its socket; it stays the running copy.
    if (AskRunningCopy(kConnectAttemptMs)) {
        lock_->unlock();
        return false;
    }
    // With the lock held, and no copy answering, any socket left under the name
    // belongs to a dead copy.
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
    if (!server_->listen(serverName_)) {
        // Still the running copy; later copies will find the claim and end.
        qWarning("Zorvan: cannot listen for later copies: %s", qPrintable(server_->errorString()));
    }
    claimed_ = true;
    return true;
}

bool SingleInstance::AskRunningCopy(int connectTimeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(connectTimeoutMs)) {
        return false;
    }
    // Connected: a running copy exists, whatever happens to the request.
    socket.write(kRequest, static_cast<qint64>(sizeof kRequest - 1));
    const bool written = socket.bytesToWrite() == 0 || socket.waitForBytesWritten(kAnswerTimeoutMs);
    if (written) {
        // Wait for the confirmation, so the request is read before this end goes.
        const QDeadlineTimer answerDeadline(kAnswerTimeoutMs);
        while (!socket.canReadLine() && !answerDeadline.hasExpired() &&
               socket.state() == QLocalSocket::ConnectedState) {
            if (!socket.waitForReadyRead(static_cast<int>(answerDeadline.remainingTime()))) {
                break;
            }
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kConnectAttemptMs);
    }
    return true;
}

void SingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ReadRequests(socket);
        if (socket->state() == QLocalSocket::UnconnectedState) {
            // The later copy was gone before it was accepted.
            socket->deleteLater();
        }
    }
}

void SingleInstance::ReadRequests(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxLine);
        if (line != QByteArray(kRequest)) {
            // Not one of ours: drop the connection.
            socket->abort();
            return;
        }
        // Confirm first, so the later copy can end while the window comes up.
        socket->write(kAnswer, static_cast<qint64>(sizeof kAnswer - 1));
        socket->flush();
        emit activationRequested();
    }
    if (socket->bytesAvailable() >= kMaxLine) {
        socket->abort();
    }
}

}  // namespace zorvan
