// One running copy per data folder, checked with real processes: each copy is a
// SingleInstanceProbe started for a data folder of the test's own.

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#endif

#include "app/SingleInstance.h"
#include "platform/StorageError.h"
#include "support/RuntimeFolder.h"

namespace {

using zorvan::test::RuntimeFolder;

// Waiting for something that should happen at once; generous for loaded machines.
constexpr int kWaitMs = 30000;
// A later copy that finds a live running copy must end well within this, which is
// below the time it waits for a running copy that does not answer (five seconds).
constexpr int kPromptMs = 4000;

// One copy of the program, as a process. Ends it (by closing its input) when it
// goes out of scope, so a failing check leaves nothing running.
class Probe {
public:
    explicit Probe(const QString& folder, const QString& workingDirectory = QString()) {
        process_.setProgram(QStringLiteral(ZORVAN_PROBE_EXE));
        process_.setArguments({folder});
        process_.setWorkingDirectory(workingDirectory);  // empty: the test's own
    }
    ~Probe() { End(); }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    void Start() { process_.start(); }
    // Starts the copy and waits until it reports its role.
    QString StartForRole() {
        Start();
        return Role();
    }
    // Waits until the copy printed its first word: "first" or "second".
    QString Role() {
        if (!QTest::qWaitFor([&] { return !Lines().isEmpty(); }, kWaitMs)) {
            return QStringLiteral("<no answer: %1>").arg(QString::fromUtf8(Describe()));
        }
        return Lines().front();
    }

    // Lines printed so far.
    QStringList Lines() {
        output_ += process_.readAllStandardOutput();
        QStringList lines = QString::fromUtf8(output_).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : lines) {
            line = line.trimmed();
        }
        return lines;
    }
    qsizetype Count(const QString& word) { return Lines().count(word); }

    // Waits, running the event loop, until the copy printed `word` `times` times.
    bool WaitFor(const QString& word, qsizetype times = 1) {
        return QTest::qWaitFor([&] { return Count(word) >= times; }, kWaitMs);
    }
    // Waits for the process to end, without running the event loop.
    bool WaitForEnd() {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(kWaitMs);
    }
    bool EndedCleanly() const {
        return process_.state() == QProcess::NotRunning &&
               process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    bool Running() const { return process_.state() == QProcess::Running; }

    // Ends the copy the ordinary way: its input closes.
    void End() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kWaitMs)) {
            Kill();
        }
    }
    // Ends the copy without letting it clean up (SIGKILL on Linux).
    void Kill() {
        process_.kill();
        process_.waitForFinished(kWaitMs);
    }

    // Everything known about the process, for failure messages.
    QByteArray Describe() {
        const QStringList lines = Lines();
        return QStringLiteral("output [%1], errors [%2], state %3, exit code %4, %5")
            .arg(lines.join(QLatin1Char('|')),
                 QString::fromUtf8(process_.readAllStandardError()).trimmed())
            .arg(static_cast<int>(process_.state()))
            .arg(process_.exitCode())
            .arg(process_.errorString())
            .toUtf8();
    }

private:
    QProcess process_;
    QByteArray output_;
};

// Every entry under `folder` (the folder itself included) with its kind, size and
// modification time.
QStringList Snapshot(const QString& folder) {
    QStringList entries;
    const auto describe = [&](const QFileInfo& info, const QString& name) {
        entries << QStringLiteral("%1 %2 %3 %4")
                       .arg(name, info.isDir() ? QStringLiteral("dir") : QStringLiteral("file"))
                       .arg(info.size())
                       .arg(info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch());
    };
    describe(QFileInfo(folder), QStringLiteral("."));
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        describe(it.fileInfo(), QDir(folder).relativeFilePath(it.filePath()));
    }
    entries.sort();
    return entries;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::filesystem::path ToPath(const QString& path) {
    return zorvan::Utf8ToPath(path.toStdString());
}

#ifdef Q_OS_LINUX
constexpr uid_t kNobody = 65534;

sockaddr_un AddressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                 sizeof address.sun_path - 1);
    return address;
}

// A process of another user listening at `path`, as a planted socket would be. It
// writes to `report` how many bytes anybody sent it.
pid_t ListenAsAnotherUser(const QString& path, int report) {
    const sockaddr_un address = AddressOf(path);
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    signal(SIGTERM, SIG_DFL);  // not the test framework's handler, which reports it
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    // The kernel records the listener's user at listen(), after the change.
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(address.sun_path, 0777) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0 ||
        listen(fd, 8) != 0) {
        _exit(2);
    }
    (void)!write(report, "L", 1);  // listening
    long received = 0;
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 20000) <= 0) {
            break;
        }
        const int peer = accept(fd, nullptr, nullptr);
        pollfd data{peer, POLLIN, 0};
        char buffer[64];
        long got = 0;
        while (poll(&data, 1, 2000) > 0 && (got = read(peer, buffer, sizeof buffer)) > 0) {
            received += got;
        }
        close(peer);
        const char digit = received > 0 ? 'R' : '0';
        (void)!write(report, &digit, 1);
    }
    _exit(0);
}
#endif

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondCopyAsksFirstToShowAndNeitherTouchesTheFolder_data();
    void secondCopyAsksFirstToShowAndNeitherTouchesTheFolder();
    void whateverAnEarlierCopyLeftTheNextStartsAtOnce_data();
    void whateverAnEarlierCopyLeftTheNextStartsAtOnce();
    void otherSpellingOfFolderCountsAsSameFolder_data();
    void otherSpellingOfFolderCountsAsSameFolder();
    void copiesStartingTogetherElectExactlyOneFirst();
    void busyFirstCopyKeepsFolderAndGetsRequestLater();
    void requestFromAnotherUserIsRefused();

    void initTestCase() { runtime_ = std::make_unique<RuntimeFolder>(); }
    void cleanupTestCase() { runtime_.reset(); }

private:
    std::unique_ptr<RuntimeFolder> runtime_;
};

void SingleInstanceTest::secondCopyAsksFirstToShowAndNeitherTouchesTheFolder_data() {
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("folder with a vault") << true;
    QTest::newRow("folder not made yet") << false;
}

void SingleInstanceTest::secondCopyAsksFirstToShowAndNeitherTouchesTheFolder() {
    QFETCH(bool, folderExists);
    QTemporaryDir parent;
    QTemporaryDir elsewhere;
    QVERIFY(parent.isValid() && elsewhere.isValid());
    const QString folder = parent.filePath(QStringLiteral("vault"));
    if (folderExists) {
        QVERIFY(QDir(parent.path()).mkpath(QStringLiteral("vault/backup")));
        QVERIFY(WriteFile(folder + QStringLiteral("/vault.dat"), QByteArray(300, 'v')));
        QVERIFY(WriteFile(folder + QStringLiteral("/backup/old.dat"), "old"));
    }
    // A copy for another folder runs beside it and is never asked.
    Probe other(elsewhere.path());
    QCOMPARE(other.StartForRole(), QStringLiteral("first"));
    // Every copy keeps its claim outside the folder, from start to end.
    const QStringList untouched = Snapshot(parent.path());
    Probe first(folder);
    QCOMPARE(first.StartForRole(), QStringLiteral("first"));
    QCOMPARE(Snapshot(parent.path()), untouched);

    Probe second(folder);
    QElapsedTimer clock;
    clock.start();
    second.Start();
    QVERIFY2(second.WaitForEnd(), second.Describe());
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(second.EndedCleanly(), second.Describe());
    QCOMPARE(second.Lines(), QStringList{QStringLiteral("second")});
    QVERIFY2(elapsed < kPromptMs, QByteArray::number(elapsed) + " ms");
    QVERIFY2(first.WaitFor(QStringLiteral("activated")), first.Describe());
    QVERIFY2(first.Running() && other.Running(), first.Describe() + other.Describe());
    QCOMPARE(first.Count(QStringLiteral("activated")), 1);
    QCOMPARE(other.Count(QStringLiteral("activated")), 0);
    QCOMPARE(Snapshot(parent.path()), untouched);

    first.End();
    QVERIFY2(first.EndedCleanly(), first.Describe());
    QCOMPARE(Snapshot(parent.path()), untouched);
}

void SingleInstanceTest::whateverAnEarlierCopyLeftTheNextStartsAtOnce_data() {
    QTest::addColumn<QString>("left");
    for (const char* left : {"ended normally", "killed", "plain file in the socket's place",
                             "listening socket of another user"}) {
        QTest::newRow(left) << QString::fromLatin1(left);
    }
}

void SingleInstanceTest::whateverAnEarlierCopyLeftTheNextStartsAtOnce() {
    QFETCH(QString, left);
    const RuntimeFolder runtime;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString socket;
    {
        Probe gone(dir.path());
        QCOMPARE(gone.StartForRole(), QStringLiteral("first"));
        // Where a copy keeps its lock and socket.
        socket = runtime.Find(QStringLiteral("!.lock"));
        QVERIFY2(!runtime.Find(QStringLiteral(".lock")).isEmpty() && !socket.isEmpty(),
                 qPrintable(runtime.Entries().join(' ')));
        if (left == QStringLiteral("killed")) {
            gone.Kill();
            QVERIFY2(!gone.Running(), gone.Describe());
        } else {
            gone.End();
            QVERIFY2(gone.EndedCleanly(), gone.Describe());
            QVERIFY(runtime.Entries().isEmpty());
        }
    }

#ifdef Q_OS_LINUX
    pid_t planter = -1;
    int report[2] = {-1, -1};
#endif
    if (left.startsWith(QStringLiteral("plain file"))) {
        QVERIFY(WriteFile(socket, "not a socket"));
    } else if (left.startsWith(QStringLiteral("listening"))) {
#ifdef Q_OS_LINUX
        if (getuid() != 0) {
            QSKIP("needs root to run a process as another user");
        }
        QCOMPARE(pipe(report), 0);
        planter = ListenAsAnotherUser(socket, report[1]);
        QVERIFY(planter > 0);
        char listening = 0;
        QCOMPARE(read(report[0], &listening, 1), 1);
        QCOMPARE(listening, 'L');
#else
        QSKIP("another user's socket is planted with POSIX calls");
#endif
    }

    Probe next(dir.path());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(next.StartForRole(), QStringLiteral("first"));
    QVERIFY2(clock.elapsed() < kPromptMs, QByteArray::number(clock.elapsed()) + " ms");
    // It answers later copies under the name the earlier one left behind.
    Probe later(dir.path());
    QCOMPARE(later.StartForRole(), QStringLiteral("second"));
    QVERIFY2(next.WaitFor(QStringLiteral("activated")), next.Describe());

#ifdef Q_OS_LINUX
    if (planter > 0) {
        // The planted socket was replaced; whatever reached it got nothing asked.
        close(report[1]);
        kill(planter, SIGTERM);
        waitpid(planter, nullptr, 0);
        char seen[16] = {};
        const auto got = read(report[0], seen, sizeof seen);
        close(report[0]);
        QVERIFY2(!QByteArray(seen, got > 0 ? int(got) : 0).contains('R'), seen);
    }
#endif
}

void SingleInstanceTest::otherSpellingOfFolderCountsAsSameFolder_data() {
    QTest::addColumn<QString>("spelling");
    QTest::newRow("dot segment") << QStringLiteral("%parent%/./vault");
    QTest::newRow("parent segment") << QStringLiteral("%parent%/other/../vault");
    QTest::newRow("trailing separator") << QStringLiteral("%parent%/vault/");
    QTest::newRow("doubled separator") << QStringLiteral("%parent%//vault");
    QTest::newRow("relative to working folder") << QStringLiteral("vault");
    QTest::newRow("symbolic link") << QStringLiteral("%parent%/link");
}

void SingleInstanceTest::otherSpellingOfFolderCountsAsSameFolder() {
    QFETCH(QString, spelling);
    QTemporaryDir parentDir;
    QVERIFY(parentDir.isValid());
    const QString parent = parentDir.path();
    QDir(parent).mkdir(QStringLiteral("vault"));
    QDir(parent).mkdir(QStringLiteral("other"));
    const QString vault = parent + QStringLiteral("/vault");
    if (spelling.endsWith(QStringLiteral("/link"))) {
#ifdef Q_OS_WIN
        QSKIP("Creating a symbolic link needs extra rights on Windows");
#else
        std::error_code error;
        std::filesystem::create_directory_symlink(ToPath(vault), ToPath(parent + "/link"), error);
        QVERIFY2(!error, error.message().c_str());
#endif
    }
    spelling.replace(QStringLiteral("%parent%"), parent);

    Probe first(vault);
    QCOMPARE(first.StartForRole(), QStringLiteral("first"));
    Probe second(spelling, parent);
    QCOMPARE(second.StartForRole(), QStringLiteral("second"));
    QVERIFY2(first.WaitFor(QStringLiteral("activated")), first.Describe());
}

void SingleInstanceTest::copiesStartingTogetherElectExactlyOneFirst() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    constexpr int kCopies = 6;
    std::vector<std::unique_ptr<Probe>> copies;
    for (int i = 0; i < kCopies; ++i) {
        copies.push_back(std::make_unique<Probe>(dir.path()));
        copies.back()->Start();
    }

    Probe* first = nullptr;
    for (auto& copy : copies) {
        const QString role = copy->Role();
        if (role == QStringLiteral("first")) {
            QVERIFY2(first == nullptr, "two copies both claimed the folder");
            first = copy.get();
        } else {
            QVERIFY2(role == QStringLiteral("second"), copy->Describe());
            QVERIFY2(copy->WaitForEnd() && copy->EndedCleanly(), copy->Describe());
        }
    }
    QVERIFY2(first != nullptr, "no copy claimed the folder");
    QVERIFY2(first->WaitFor(QStringLiteral("activated"), kCopies - 1), first->Describe());
    QCOMPARE(first->Count(QStringLiteral("activated")), kCopies - 1);
}

void SingleInstanceTest::busyFirstCopyKeepsFolderAndGetsRequestLater() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // This process is the running copy; asking again changes nothing.
    zorvan::SingleInstance instance(ToPath(dir.path()));
    QSignalSpy activations(&instance, &zorvan::SingleInstance::activationRequested);
    QCOMPARE(instance.Claim(), zorvan::SingleInstance::Outcome::kFirst);
    QCOMPARE(instance.Claim(), zorvan::SingleInstance::Outcome::kFirst);

    // While this process does not run its event loop, a later copy cannot get an
    // answer; it must still end as the second copy, never run beside this one.
    Probe second(dir.path());
    second.Start();
    QVERIFY2(second.WaitForEnd() && second.EndedCleanly(), second.Describe());
    QCOMPARE(second.Lines(), QStringList{QStringLiteral("second")});
    QCOMPARE(activations.count(), 0);

    // Once the event loop runs, the waiting request arrives.
    QTRY_COMPARE_WITH_TIMEOUT(activations.count(), 1, kWaitMs);
}

void SingleInstanceTest::requestFromAnotherUserIsRefused() {
#ifdef Q_OS_LINUX
    if (getuid() != 0) {
        QSKIP("needs root to run a process as another user");
    }
    const RuntimeFolder runtime;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    zorvan::SingleInstance instance(ToPath(dir.path()));
    QSignalSpy activations(&instance, &zorvan::SingleInstance::activationRequested);
    QCOMPARE(instance.Claim(), zorvan::SingleInstance::Outcome::kFirst);
    const QString socket = runtime.Find(QStringLiteral("!.lock"));
    // Opened up so that another user can get as far as connecting at all.
    QVERIFY(QFile::setPermissions(
        runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther));
    QVERIFY(chmod(QFile::encodeName(socket).constData(), 0777) == 0);

    const sockaddr_un address = AddressOf(socket);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Exit code: 0 refused, 1 answered, 2 could not even connect.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0 ||
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            _exit(2);
        }
        static const char kRequest[] = "zorvan:show\n";
        (void)!write(fd, kRequest, sizeof kRequest - 1);
        char answer[64];
        pollfd ready{fd, POLLIN, 0};
        _exit(poll(&ready, 1, 10000) > 0 && read(fd, answer, sizeof answer) > 0 ? 1 : 0);
    }
    int status = 0;
    QVERIFY(QTest::qWaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, kWaitMs));
    QVERIFY2(WIFEXITED(status), QByteArray::number(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(activations.count(), 0);
#else
    QSKIP("another user's copy is started with POSIX calls");
#endif
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
