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

#include "platform/LocalPeer.h"
#include "platform/RuntimeFolder.h"

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

// The private folder inside the data folder, for a user without a runtime folder.
constexpr char kFallbackFolder[] = ".zorvan-run";

// The folder's path with "." and "..", symbolic links and a trailing separator
// resolved, so that every spelling of one folder gives the same path. The folder
// need not exist yet; nothing is created.
std::filesystem::path CanonicalFolder(const std::filesystem::path& folder) {
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
    return canonical;
}

QByteArray CanonicalFolderText(const std::filesystem::path& folder) {
    const std::filesystem::path canonical = CanonicalFolder(folder);
#ifdef Q_OS_WIN
    // Windows file names ignore case.
    return QString::fromStdWString(canonical.native()).toCaseFolded().toUtf8();
#else
    return QByteArray::fromStdString(canonical.native());
#endif
}

QString ToQ(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

// The name shared by the lock file and the local socket of one data folder.
QString ClaimName(const std::filesystem::path& folder) {
    const QByteArray hash =
        QCryptographicHash::hash(CanonicalFolderText(folder), QCryptographicHash::Sha256);
    return QStringLiteral("zorvan-") + QString::fromLatin1(hash.toHex().left(32));
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& dataFolder, QObject* parent)
    : QObject(parent), dataFolder_(dataFolder) {}

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

bool SingleInstance::ChooseNames() {
    const auto folder = PrivateRuntimeFolder(CanonicalFolder(dataFolder_) / kFallbackFolder);
    if (!folder) {
        return false;
    }
    const QString name = ClaimName(dataFolder_);
    lockPath_ = QDir(ToQ(*folder)).absoluteFilePath(name + QStringLiteral(".lock"));
#ifdef Q_OS_WIN
    // Pipes share one name space for all users: the SID keeps this user's apart.
    serverName_ = name + QLatin1Char('-') + QString::fromStdString(CurrentUserId());
#else
    serverName_ = QDir(ToQ(*folder)).absoluteFilePath(name);
#endif
    return true;
}

SingleInstance::Outcome SingleInstance::Claim() {
    if (claimed_) {
        return Outcome::kFirst;
    }
    if (!ChooseNames()) {
        // A claim anywhere else could be planted or taken by another user. Rather
        // than never starting, run without one.
        qWarning("Zorvan: no private folder for the one-copy lock; running without it");
        claimed_ = true;
        return Outcome::kFirst;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Only a dead owner makes the lock stale, never its age: a copy may run for weeks.
    lock_->setStaleLockTime(0);

    const QDeadlineTimer deadline(kReachTimeoutMs);
    for (;;) {
        if (lock_->tryLock(0)) {
            return TakeOver() ? Outcome::kFirst : Outcome::kActivated;
        }
        if (lock_->error() != QLockFile::LockFailedError) {
            // The lock file cannot be made at all (folder full or read-only).
            // Rather than never starting, run without the lock unless a running
            // copy answers.
            qWarning("Zorvan: cannot create %s; running without the one-copy lock",
                     qPrintable(QDir::toNativeSeparators(lockPath_)));
            return TakeOver() ? Outcome::kFirst : Outcome::kActivated;
        }
        // Another copy holds the folder. It may still be starting, or be ending.
        if (AskRunningCopy(kConnectAttemptMs)) {
            return Outcome::kActivated;
        }
        if (deadline.hasExpired()) {
            // Two copies must never work on one vault, so this one ends; but not
            // without saying why.
            refusal_ = QStringLiteral(
                "このデータフォルダーは、すでに起動している Zorvan が使っていますが、"
                "応答がありません。\n"
                "起動中か終了中のようです。しばらく待ってから、もう一度起動してください。");
            return Outcome::kRefused;
        }
        QThread::msleep(kRetryPauseMs);
    }
}

bool SingleInstance::TakeOver() {
    // A copy whose lock file was removed behind its back (a cleaner of the
    // runtime folder) still answers on its socket; it stays the running copy.
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
#ifdef Q_OS_WIN
    // QLocalServer creates its pipe instances without FILE_FLAG_FIRST_PIPE_INSTANCE,
    // so it would join a pipe somebody else made under this name. A first instance
    // made here makes sure the name is this process's; the server's own instances
    // then keep it, and this one goes.
    const std::intptr_t first =
        CreateFirstPipeInstance(QStringLiteral("\\\\.\\pipe\\%1").arg(serverName_).toStdString());
    const bool listening = first != -1 && server_->listen(serverName_);
    ClosePipeInstance(first);
#else
    const bool listening = server_->listen(serverName_);
#endif
    if (!listening) {
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
    if (!PeerIsCurrentUser(socket.socketDescriptor(), true)) {
        // Not a copy of this user's: it is told nothing, and does not count.
        socket.abort();
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
        if (!PeerIsCurrentUser(socket->socketDescriptor(), false)) {
            // Only this user's own copies may ask for a window.
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
