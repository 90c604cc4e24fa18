#include "common/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#ifndef _WIN32
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace mq::io;

namespace {

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

QByteArray contents(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return f.readAll();
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

std::string_view view(const QByteArray& a) { return {a.constData(), static_cast<std::size_t>(a.size())}; }

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
}

#ifndef _WIN32
struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs `write` as an unprivileged user: root may write anywhere, so a test of
// permissions runs in a child process that has given up its privileges. The
// folder (and the file when `chownFile`) are handed to that user first.
// Returns the child's exit status, or -1 when it could not be arranged.
constexpr uid_t kNobody = 65534;
int asUnprivilegedUser(const QString& dir, const QString& file, bool chownFile, const std::function<bool()>& write) {
    if (::geteuid() != 0) return write() ? 0 : 1;
    if (::chown(QFile::encodeName(dir).constData(), kNobody, kNobody) != 0) return -1;
    if (chownFile && ::chown(QFile::encodeName(file).constData(), kNobody, kNobody) != 0) return -1;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        ::_exit(write() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Runs `write` under a file size limit of 4 kB, which makes write() fail
// half-way, even for root.
WriteResult withSmallFileSizeLimit(const std::function<WriteResult()>& write) {
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    WriteResult w = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    return w;
}

unsigned modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0xFFFFFFFF;
    return st.st_mode & 07777;
}
#endif

}  // namespace

class TestFileIo : public QObject {
    Q_OBJECT

private slots:
    void readBytes_data();
    void readBytes();
    void readFailures();
    void write_data();
    void write();
    void writeFailures_data();
    void writeFailures();
    void readOnlyTargetUntouched();
    void failedWriteKeepsOldFile();
    void permissionsKept_data();
    void permissionsKept();
    void linkIsFollowed();
    void hardLinkWrittenInPlace();
    void failedInPlaceWritePutsOldBytesBack();
    void inPlaceForLockedFolderOrForeignOwner_data();
    void inPlaceForLockedFolderOrForeignOwner();
};

void TestFileIo::readBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("@echo off\r\n");
    QTest::newRow("binary") << QByteArray("\0\xFF\r\x80\n\0", 6);
    QTest::newRow("beyond one chunk") << QByteArray(200000, 'x');
}

void TestFileIo::readBytes() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("in.bat"));
    QVERIFY(put(path, bytes));

    const ReadResult r = readWholeFile(local(path));
    QVERIFY2(r.ok, r.reason.c_str());
    QCOMPARE(r.errorKind, ReadErrorKind::None);
    QCOMPARE(QByteArray::fromStdString(r.bytes), bytes);
}

void TestFileIo::readFailures() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    ReadResult r = readWholeFile(local(dir.filePath(QStringLiteral("missing.bat"))));
    QVERIFY(!r.ok);
    QCOMPARE(r.errorKind, ReadErrorKind::NotFound);
    QVERIFY(!r.reason.empty());

    r = readWholeFile(local(dir.filePath(QStringLiteral("no/such/folder.bat"))));
    QCOMPARE(r.errorKind, ReadErrorKind::NotFound);

    r = readWholeFile("");
    QVERIFY(!r.ok);

    r = readWholeFile(local(dir.path()));
    QVERIFY(!r.ok);
    QCOMPARE(r.errorKind, ReadErrorKind::Other);
    QCOMPARE(QString::fromStdString(r.reason), QStringLiteral("Is a directory"));

#ifndef _WIN32
    // A pipe without writer would block a plain read for ever.
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    r = readWholeFile(local(fifo));
    QVERIFY(!r.ok);
    QCOMPARE(r.errorKind, ReadErrorKind::Other);
#endif
}

void TestFileIo::write_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("new file") << false << QByteArray() << QByteArray("a\r\nb");
    QTest::newRow("new empty file") << false << QByteArray() << QByteArray();
    QTest::newRow("replace with shorter") << true << QByteArray(5000, 'o') << QByteArray("n");
    QTest::newRow("replace with longer") << true << QByteArray("o") << QByteArray(300000, 'n');
    QTest::newRow("replace with empty") << true << QByteArray("old text") << QByteArray();
    QTest::newRow("binary bytes") << true << QByteArray("x") << QByteArray("\0\xFF\x81\r", 4);
}

void TestFileIo::write() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.bat"));
    if (exists) QVERIFY(put(path, old));

    const WriteResult w = writeFileSafely(local(path), view(bytes));
    QVERIFY2(w.ok, w.reason.c_str());
    QVERIFY(w.reason.empty());
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(contents(path), bytes);
    // Nothing but the file itself is left in the folder.
    QCOMPARE(entries(dir), QStringList{QStringLiteral("out.bat")});
}

void TestFileIo::writeFailures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << QStringLiteral("gone/out.bat") << QStringLiteral("No such file or directory");
    QTest::newRow("target is a folder") << QStringLiteral("sub") << QStringLiteral("Is a directory");
    QTest::newRow("folder is a file") << QStringLiteral("plain.txt/out.bat") << QStringLiteral("Not a directory");
    QTest::newRow("no name") << QString() << QStringLiteral("no file name given");
}

void TestFileIo::writeFailures() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(put(dir.filePath(QStringLiteral("sub/keep.txt")), "kept"));
    QVERIFY(put(dir.filePath(QStringLiteral("plain.txt")), "plain"));
    const QStringList before = entries(dir);

    const std::string path = name.isEmpty() ? std::string() : local(dir.filePath(name));
    const WriteResult w = writeFileSafely(path, "new");
    QVERIFY(!w.ok);
    QCOMPARE(QString::fromStdString(w.reason), reason);
    QCOMPARE(entries(dir), before);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("sub"))).isDir());
    QCOMPARE(contents(dir.filePath(QStringLiteral("sub/keep.txt"))), QByteArray("kept"));
    QCOMPARE(contents(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("plain"));
}

void TestFileIo::readOnlyTargetUntouched() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("locked.bat"));
    QVERIFY(put(path, "original"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));

    const WriteResult w = writeFileSafely(local(path), "replaced");
    QVERIFY(!w.ok);
    QCOMPARE(QString::fromStdString(w.reason), QStringLiteral("the file is read-only"));
    QCOMPARE(contents(path), QByteArray("original"));
    QCOMPARE(entries(dir), QStringList{QStringLiteral("locked.bat")});
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

void TestFileIo::failedWriteKeepsOldFile() {
#ifdef _WIN32
    QSKIP("uses a POSIX file size limit to make the write fail");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("big.xyz"));
    QVERIFY(put(path, "old contents"));

    const QByteArray big(100000, 'n');
    const WriteResult w = withSmallFileSizeLimit([&] { return writeFileSafely(local(path), view(big)); });

    QVERIFY(!w.ok);
    QCOMPARE(QString::fromStdString(w.reason), QStringLiteral("File too large"));
    QCOMPARE(contents(path), QByteArray("old contents"));
    QCOMPARE(entries(dir), QStringList{QStringLiteral("big.xyz")});
#endif
}

void TestFileIo::permissionsKept_data() {
    QTest::addColumn<unsigned>("mode");
    QTest::newRow("0600") << 0600u;
    QTest::newRow("0640") << 0640u;
    QTest::newRow("0755 script") << 0755u;
    QTest::newRow("0666") << 0666u;
    QTest::newRow("0200 write only") << 0200u;
}

void TestFileIo::permissionsKept() {
#ifdef _WIN32
    QSKIP("POSIX permission bits");
#else
    QFETCH(unsigned, mode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.sh"));
    QVERIFY(put(path, "old"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);

    const WriteResult w = writeFileSafely(local(path), "new");
    QVERIFY2(w.ok, w.reason.c_str());
    QCOMPARE(modeOf(path), mode);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
    QCOMPARE(contents(path), QByteArray("new"));
#endif
}


void TestFileIo::linkIsFollowed() {
#ifdef _WIN32
    QSKIP("symbolic links need privileges on Windows");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/script.bat"));
    const QString link = dir.filePath(QStringLiteral("script.bat"));
    QVERIFY(put(target, "old"));
    QCOMPARE(::symlink("real/script.bat", QFile::encodeName(link).constData()), 0);

    const WriteResult w = writeFileSafely(local(link), "new");
    QVERIFY2(w.ok, w.reason.c_str());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contents(target), QByteArray("new"));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("script.bat")});

    // A link to a file not there yet creates that file.
    const QString dangling = dir.filePath(QStringLiteral("later.bat"));
    QCOMPARE(::symlink("real/later.bat", QFile::encodeName(dangling).constData()), 0);
    QVERIFY(writeFileSafely(local(dangling), "made").ok);
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(contents(dir.filePath(QStringLiteral("real/later.bat"))), QByteArray("made"));
#endif
}

void TestFileIo::hardLinkWrittenInPlace() {
#ifdef _WIN32
    QSKIP("hard links are made with POSIX calls here");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.bat"));
    const QString second = dir.filePath(QStringLiteral("copy.bat"));
    QVERIFY(put(path, "old text, longer than the new one"));
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()), 0);
    const ino_t inode = statOf(path).st_ino;

    const WriteResult w = writeFileSafely(local(path), "new");
    QVERIFY2(w.ok, w.reason.c_str());
    QCOMPARE(contents(path), QByteArray("new"));
    QCOMPARE(contents(second), QByteArray("new"));   // the other name sees the new text
    QCOMPARE(statOf(path).st_ino, inode);
    QCOMPARE(statOf(path).st_nlink, nlink_t(2));
    QCOMPARE(entries(dir), (QStringList{QStringLiteral("copy.bat"), QStringLiteral("run.bat")}));
#endif
}

void TestFileIo::failedInPlaceWritePutsOldBytesBack() {
#ifdef _WIN32
    QSKIP("uses a POSIX file size limit to make the write fail");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.bat"));
    QVERIFY(put(path, "old contents"));
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("copy.bat")).constData()), 0);

    const QByteArray big(100000, 'n');
    const WriteResult w = withSmallFileSizeLimit([&] { return writeFileSafely(local(path), view(big)); });

    QVERIFY(!w.ok);
    QVERIFY2(w.reason.starts_with("File too large; it was written in place because the file has more than one link"),
             w.reason.c_str());
    QVERIFY(w.hadOldFile);
    QVERIFY(w.oldFileUnchanged);
    QVERIFY(w.backupPath.empty());
    QCOMPARE(contents(path), QByteArray("old contents"));
    QCOMPARE(entries(dir), (QStringList{QStringLiteral("copy.bat"), QStringLiteral("run.bat")}));
#endif
}

void TestFileIo::inPlaceForLockedFolderOrForeignOwner_data() {
    QTest::addColumn<bool>("foreignOwner");   // else: a folder without write permission
    QTest::newRow("folder without write permission") << false;
    QTest::newRow("file of another owner") << true;
}

void TestFileIo::inPlaceForLockedFolderOrForeignOwner() {
#ifdef _WIN32
    QSKIP("POSIX owners and permission bits");
#else
    QFETCH(bool, foreignOwner);
    if (foreignOwner && ::geteuid() != 0) QSKIP("only root can give a file to another owner");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("run.bat"));
    QVERIFY(put(path, "old text"));
    const QByteArray folder = QFile::encodeName(dir.path());
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), foreignOwner ? 0666 : 0644), 0);
    QCOMPARE(::chmod(folder.constData(), foreignOwner ? 0755 : 0555), 0);
    const uid_t owner = statOf(path).st_uid;
    const ino_t inode = statOf(path).st_ino;

    const int status = asUnprivilegedUser(dir.path(), path, !foreignOwner, [&] {
        return writeFileSafely(local(path), "new text").ok;
    });
    ::chmod(folder.constData(), 0700);
    if (status < 0) QSKIP("no unprivileged user to run as");
    QCOMPARE(status, 0);
    QCOMPARE(contents(path), QByteArray("new text"));
    QCOMPARE(statOf(path).st_ino, inode);
    if (foreignOwner) QCOMPARE(statOf(path).st_uid, owner);   // not handed to the user who saved
    QCOMPARE(entries(dir), QStringList{QStringLiteral("run.bat")});
#endif
}

QTEST_APPLESS_MAIN(TestFileIo)
#include "test_file_io.moc"
