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

// A temporary folder, the files a test starts from and what is left in it.
struct Folder : QTemporaryDir {
    std::string local(const QString& name) const { return QFile::encodeName(filePath(name)).toStdString(); }
    QByteArray read(const QString& name) const
    {
        QFile f(filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    void put(const QString& name, const QByteArray& bytes) const
    {
        QFile f(filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
    }
    QString entries() const
    {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        return QDir(path()).entryList(all, QDir::Name).join(' ');
    }
    WriteResult save(const QString& name, const QByteArray& bytes) const
    {
        const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
        return writeFileSafely(name.isEmpty() ? std::string() : local(name), view);
    }
#ifndef _WIN32
    bool hardLink(const QString& name, const QString& second) const
    {
        return ::link(local(name).c_str(), local(second).c_str()) == 0;
    }
#endif
};

#ifndef _WIN32
struct stat statOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs `write` as an unprivileged user: root may write anywhere, so a test of
// permissions runs in a child process that has given up its privileges. The
// folder (and the file when `chownFile`) are handed to that user first.
// Returns the child's exit status, or -1 when it could not be arranged.
constexpr uid_t kNobody = 65534;
int asUnprivilegedUser(const QString& dir, const QString& file, bool chownFile, const std::function<bool()>& write)
{
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
WriteResult withSmallFileSizeLimit(const std::function<WriteResult()>& write)
{
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
#endif

}  // namespace

class TestFileIo : public QObject {
    Q_OBJECT

private slots:
    void readBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("@echo off\r\n");
        QTest::newRow("binary") << QByteArray("\0\xFF\r\x80\n\0", 6);
        QTest::newRow("beyond one chunk") << QByteArray(200000, 'x');
    }
    void readBytes()
    {
        QFETCH(QByteArray, bytes);
        Folder dir;
        dir.put("in.bat", bytes);
        const ReadResult r = readWholeFile(dir.local("in.bat"));
        QVERIFY2(r.ok, r.reason.c_str());
        QCOMPARE(r.errorKind, ReadErrorKind::None);
        QCOMPARE(QByteArray::fromStdString(r.bytes), bytes);
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ReadErrorKind>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.bat" << ReadErrorKind::NotFound << "No such file or directory";
        QTest::newRow("missing folder") << "no/such/folder.bat" << ReadErrorKind::NotFound
                                        << "No such file or directory";
        QTest::newRow("no name") << "" << ReadErrorKind::NotFound << "No such file or directory";
        QTest::newRow("a folder") << "." << ReadErrorKind::Other << "Is a directory";
#ifndef _WIN32
        // A pipe without writer would block a plain read for ever.
        QTest::newRow("a pipe") << "pipe" << ReadErrorKind::Other << "not a regular file";
#endif
    }
    void readFailures()
    {
        QFETCH(QString, name);
        QFETCH(ReadErrorKind, kind);
        QFETCH(QString, reason);
        Folder dir;
#ifndef _WIN32
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
#endif
        const ReadResult r = readWholeFile(name.isEmpty() ? std::string() : dir.local(name));
        QVERIFY(!r.ok);
        QCOMPARE(r.errorKind, kind);
        QCOMPARE(QString::fromStdString(r.reason), reason);
    }

    void write_data()
    {
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
    void write()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, old);
        QFETCH(QByteArray, bytes);
        Folder dir;
        if (exists) dir.put("out.bat", old);
        const WriteResult w = dir.save("out.bat", bytes);
        QVERIFY2(w.ok, w.reason.c_str());
        QVERIFY(w.reason.empty());
        QCOMPARE(dir.read("out.bat"), bytes);
        QCOMPARE(dir.entries(), QString("out.bat"));   // nothing else is left in the folder
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "gone/out.bat" << "No such file or directory";
        QTest::newRow("target is a folder") << "sub" << "Is a directory";
        QTest::newRow("folder is a file") << "plain.txt/out.bat" << "Not a directory";
        QTest::newRow("no name") << "" << "no file name given";
    }
    void writeFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        Folder dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        dir.put("sub/keep.txt", "kept");
        dir.put("plain.txt", "plain");
        const WriteResult w = dir.save(name, "new");
        QVERIFY(!w.ok);
        QCOMPARE(QString::fromStdString(w.reason), reason);
        QCOMPARE(dir.entries(), QString("plain.txt sub"));
        QCOMPARE(dir.read("sub/keep.txt") + dir.read("plain.txt"), QByteArray("keptplain"));
    }

    // A write that is refused or fails half-way leaves the old file as it was.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only target") << "read-only" << "the file is read-only";
        QTest::newRow("disk full") << "size limit" << "File too large";
        QTest::newRow("disk full while written in place") << "size limit, hard link"
            << "File too large; it was written in place because the file has more than one link";
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        Folder dir;
        dir.put("run.bat", "old contents");
        const QString path = dir.filePath("run.bat");
        QString before = "run.bat";
        WriteResult w;
        if (how == "read-only") {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                    QFileDevice::ReadOther));
            w = dir.save("run.bat", "replaced");
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        } else {
#ifdef _WIN32
            QSKIP("uses a POSIX file size limit to make the write fail");
#else
            if (how.contains("hard link")) {
                QVERIFY(dir.hardLink("run.bat", "copy.bat"));
                before = "copy.bat run.bat";
            }
            w = withSmallFileSizeLimit([&] { return dir.save("run.bat", QByteArray(100000, 'n')); });
#endif
        }
        QVERIFY(!w.ok);
        QCOMPARE(QString::fromStdString(w.reason), reason);
        QVERIFY(w.hadOldFile && w.oldFileUnchanged && w.backupPath.empty());
        QCOMPARE(dir.read("run.bat"), QByteArray("old contents"));
        QCOMPARE(dir.entries(), before);
    }

    void permissionsKept_data()
    {
        QTest::addColumn<unsigned>("mode");
        for (unsigned mode : {0600u, 0640u, 0755u, 0666u, 0200u}) QTest::addRow("%o", mode) << mode;
    }
    void permissionsKept()
    {
#ifdef _WIN32
        QSKIP("POSIX permission bits");
#else
        QFETCH(unsigned, mode);
        Folder dir;
        dir.put("run.sh", "old");
        const QByteArray path = QFile::encodeName(dir.filePath("run.sh"));
        QCOMPARE(::chmod(path.constData(), mode), 0);
        const WriteResult w = dir.save("run.sh", "new");
        QVERIFY2(w.ok, w.reason.c_str());
        QCOMPARE(unsigned(statOf(dir.filePath("run.sh")).st_mode & 07777), mode);
        QCOMPARE(::chmod(path.constData(), 0600), 0);
        QCOMPARE(dir.read("run.sh"), QByteArray("new"));
#endif
    }

    void linkIsFollowed()
    {
#ifdef _WIN32
        QSKIP("symbolic links need privileges on Windows");
#else
        Folder dir;
        QVERIFY(QDir(dir.path()).mkdir("real"));
        dir.put("real/script.bat", "old");
        QCOMPARE(::symlink("real/script.bat", QFile::encodeName(dir.filePath("script.bat")).constData()), 0);
        const WriteResult w = dir.save("script.bat", "new");
        QVERIFY2(w.ok, w.reason.c_str());
        QVERIFY(QFileInfo(dir.filePath("script.bat")).isSymLink());
        QCOMPARE(dir.read("real/script.bat"), QByteArray("new"));
        QCOMPARE(QDir(dir.filePath("real")).entryList(QDir::Files | QDir::Hidden), QStringList{"script.bat"});

        // A link to a file not there yet creates that file.
        QCOMPARE(::symlink("real/later.bat", QFile::encodeName(dir.filePath("later.bat")).constData()), 0);
        QVERIFY(dir.save("later.bat", "made").ok);
        QVERIFY(QFileInfo(dir.filePath("later.bat")).isSymLink());
        QCOMPARE(dir.read("real/later.bat"), QByteArray("made"));
#endif
    }

    void hardLinkWrittenInPlace()
    {
#ifdef _WIN32
        QSKIP("hard links are made with POSIX calls here");
#else
        Folder dir;
        const QString path = dir.filePath("run.bat");
        dir.put("run.bat", "old text, longer than the new one");
        QVERIFY(dir.hardLink("run.bat", "copy.bat"));
        const ino_t inode = statOf(path).st_ino;
        const WriteResult w = dir.save("run.bat", "new");
        QVERIFY2(w.ok, w.reason.c_str());
        QCOMPARE(dir.read("copy.bat"), QByteArray("new"));   // the other name sees the new text
        QCOMPARE(statOf(path).st_ino, inode);
        QCOMPARE(statOf(path).st_nlink, nlink_t(2));
        QCOMPARE(dir.entries(), QString("copy.bat run.bat"));
#endif
    }

    void inPlaceForLockedFolderOrForeignOwner_data()
    {
        QTest::addColumn<bool>("foreignOwner");   // else: a folder without write permission
        QTest::newRow("folder without write permission") << false;
        QTest::newRow("file of another owner") << true;
    }
    void inPlaceForLockedFolderOrForeignOwner()
    {
#ifdef _WIN32
        QSKIP("POSIX owners and permission bits");
#else
        QFETCH(bool, foreignOwner);
        if (foreignOwner && ::geteuid() != 0) QSKIP("only root can give a file to another owner");
        Folder dir;
        const QString path = dir.filePath("run.bat");
        dir.put("run.bat", "old text");
        const QByteArray folder = QFile::encodeName(dir.path());
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), foreignOwner ? 0666 : 0644), 0);
        QCOMPARE(::chmod(folder.constData(), foreignOwner ? 0755 : 0555), 0);
        const uid_t owner = statOf(path).st_uid;
        const ino_t inode = statOf(path).st_ino;
        const int status =
            asUnprivilegedUser(dir.path(), path, !foreignOwner, [&] { return dir.save("run.bat", "new text").ok; });
        ::chmod(folder.constData(), 0700);
        if (status < 0) QSKIP("no unprivileged user to run as");
        QCOMPARE(status, 0);
        QCOMPARE(dir.read("run.bat"), QByteArray("new text"));
        QCOMPARE(statOf(path).st_ino, inode);
        if (foreignOwner) QCOMPARE(statOf(path).st_uid, owner);   // not handed to the user who saved
        QCOMPARE(dir.entries(), QString("run.bat"));
#endif
    }
};

QTEST_APPLESS_MAIN(TestFileIo)
#include "test_file_io.moc"
