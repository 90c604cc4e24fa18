// The runner of the gridding batch file: how it reads each kind of line, and
// a whole run with stand-in programs on PATH.
#include "platform/test_files.h"
#include "tools/tile_fixture.h"
#include "tools/batch_runner.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mq::tools;
using mq::testing::read_file;
using mq::testing::write_file;

class TestBatchRunner : public QObject {
    Q_OBJECT

private slots:
    void line_kinds_data();
    void line_kinds();
    void patterns_data();
    void patterns();
    void gmt6_options();
    void whole_run();
    void gmt_missing();
};

void TestBatchRunner::line_kinds_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("result");   // Echo: the text; otherwise the words
    const int nothing = int(BatchLineKind::Nothing), echo = int(BatchLineKind::Echo),
              del = int(BatchLineKind::Delete), program = int(BatchLineKind::Program);
    QTest::newRow("echo off") << "echo off" << nothing << QStringList{};
    QTest::newRow("@echo off") << "@ECHO OFF" << nothing << QStringList{};
    QTest::newRow("cls") << "cls" << nothing << QStringList{};
    QTest::newRow("rem") << "rem a note" << nothing << QStringList{};
    QTest::newRow("blank") << "   " << nothing << QStringList{};
    QTest::newRow("echo keeps blanks") << "echo **** grid:  D:\\a.grd" << echo << QStringList{"**** grid:  D:\\a.grd"};
    QTest::newRow("bare echo") << "echo" << echo << QStringList{"ECHO is off."};
    QTest::newRow("echo.") << "echo." << echo << QStringList{""};
    QTest::newRow("del") << "del x_*.* b.txt" << del << QStringList{"x_*.*", "b.txt"};
    QTest::newRow("program") << "surface  a.xyz -Gx.grd -V\r" << program
                             << QStringList{"surface", "a.xyz", "-Gx.grd", "-V"};
    QTest::newRow("quoted word") << "prog \"a b\" c" << program << QStringList{"prog", "a b", "c"};
}

void TestBatchRunner::line_kinds()
{
    QFETCH(QString, line);
    QFETCH(QStringList, result);
    const BatchLine read = classify_batch_line(line.toStdString());
    QTEST(int(read.kind), "kind");
    QStringList got;
    if (read.kind == BatchLineKind::Echo) got << QString::fromStdString(read.text);
    for (const auto& w : read.words) got << QString::fromStdString(w);
    QCOMPARE(got, result);
}

void TestBatchRunner::patterns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("match");
    QTest::newRow("temporary grid") << "x_srtm.grd" << "x_*.*" << true;
    QTest::newRow("letters without case") << "X_LAND.GRD" << "x_*.*" << true;
    QTest::newRow("other prefix") << "y_srtm.grd" << "x_*.*" << false;
    QTest::newRow("star dot star takes all") << "README" << "*.*" << true;
    QTest::newRow("question mark") << "a.txt" << "?.txt" << true;
    QTest::newRow("question mark is one") << "ab.txt" << "?.txt" << false;
    QTest::newRow("star backtracks") << "a.b.grd" << "*.grd" << true;
}

void TestBatchRunner::patterns()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QTEST(matches_pattern(name.toStdString(), pattern.toStdString()), "match");
}

void TestBatchRunner::gmt6_options()
{
    const std::vector<std::string> in{"a.xyz", "-Gx_srtm.grd", "-H0", "-bi3", "-V"};
    const std::vector<std::string> out{"a.xyz", "-Gx_srtm.grd", "-h0", "-bi3", "-V"};
    QVERIFY(gmt6_arguments(in) == out);
}

namespace {

#ifndef _WIN32
// A stand-in program on PATH that prints its name and arguments.
void add_program(const QString& folder, const QString& name, int status = 0)
{
    const QString path = folder + "/" + name;
    QVERIFY(write_file(path, QString("#!/bin/sh\necho %1 \"$@\"\nexit %2\n").arg(name).arg(status).toUtf8()));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

struct PathSwap {
    explicit PathSwap(const QByteArray& path) : old(qgetenv("PATH")) { qputenv("PATH", path); }
    ~PathSwap() { qputenv("PATH", old); }
    QByteArray old;
};
#endif

}  // namespace

void TestBatchRunner::whole_run()
{
#ifdef _WIN32
    QSKIP("cmd.exe runs batch files on Windows");
#else
    QTemporaryDir dir;
    const QString bin = dir.filePath("bin"), work = dir.filePath("work");
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(work));
    add_program(bin, "gmt");
    add_program(bin, "tool");
    add_program(bin, "broken", 3);
    for (const char* name : {"x_srtm.grd", "x_land.grd", "keep.grd", "gone.xyz"})
        QVERIFY(write_file(work + "/" + name, "data"));
    QVERIFY(write_file(dir.filePath("x_outside.grd"), "data"));
    const QByteArray batch = "echo off\r\ncls\r\necho *\r\necho **** grid:  out.grd\r\n"
                             "surface  in.xyz -Gx_srtm.grd -H0 -bi3 -V\r\n"
                             "tool \"two words\"\r\n"
                             "del " + work.toUtf8() + "/gone.xyz missing.xyz\r\n"
                             "del ../x_*.*\r\n"
                             "del x_*.*\r\n"
                             "broken";
    QVERIFY(write_file(work + "/SRTM_grid.bat", batch));
    PathSwap path(bin.toUtf8() + ":/usr/bin:/bin");

    const auto run = run_batch_file((work + "/SRTM_grid.bat").toStdString());
    QVERIFY(run.ok());
    QCOMPARE(run->programs, 3);
    QCOMPARE(run->failed, 1);
    QCOMPARE(run->first_failed_line, 10);
    QCOMPARE(QString::fromStdString(run->log_path), work + "/SRTM_grid.log");
    QCOMPARE(QDir(work).entryList(QDir::Files, QDir::Name),
             (QStringList{"SRTM_grid.bat", "SRTM_grid.log", "keep.grd"}));
    QVERIFY(QFile::exists(dir.filePath("x_outside.grd")));   // patterns stay in the batch file's folder
    const QString log = QString::fromUtf8(read_file(work + "/SRTM_grid.log"));
    const QStringList expected_lines = {
        "*",
        "**** grid:  out.grd",
        "[line 5] gmt surface in.xyz -Gx_srtm.grd -h0 -bi3 -V",
        "gmt surface in.xyz -Gx_srtm.grd -h0 -bi3 -V",
        "tool two words",
        "line 10: broken failed",
        "Could Not Find " + work + "/missing.xyz",
        "patterns are only deleted in " + work,
    };
    for (const QString& line : expected_lines) QVERIFY2(log.contains(line), qPrintable(log));
#endif
}

void TestBatchRunner::gmt_missing()
{
#ifdef _WIN32
    QSKIP("cmd.exe runs batch files on Windows");
#else
    QTemporaryDir dir;
    QVERIFY(write_file(dir.filePath("data.xyz"), "data"));
    QVERIFY(write_file(dir.filePath("SRTM_grid.bat"), "echo off\r\nsurface data.xyz -Gx.grd\r\ndel data.xyz"));
    PathSwap path(dir.filePath("nothing-here").toUtf8());
    const auto run = run_batch_file(dir.filePath("SRTM_grid.bat").toStdString());
    QVERIFY(run.ok());
    QCOMPARE(run->failed, 1);
    const QByteArray log = read_file(dir.filePath("SRTM_grid.log"));
    QVERIFY(log.contains("line 2: surface was not run: GMT is not installed"));
    QVERIFY(log.contains("line 3: nothing deleted, since line 2 failed"));
    QVERIFY(QFile::exists(dir.filePath("data.xyz")));   // kept for another try
    QVERIFY(!run_batch_file(dir.filePath("none.bat").toStdString()).ok());
#endif
}

QTEST_GUILESS_MAIN(TestBatchRunner)
#include "test_batch_runner.moc"
