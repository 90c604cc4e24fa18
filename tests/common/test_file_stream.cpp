// Streaming file access: line splitting that keeps every byte but the line
// ends, outputs that replace their target only when committed, and the
// same-file guard every file tool runs first.
#include "common/file_stream.h"

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace mq::io;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const std::string& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

}  // namespace

class TestFileStream : public QObject {
    Q_OBJECT

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void lines_data();
    void lines();
    void output_replaces_only_on_commit();
    void refusals_data();
    void refusals();

private:
    std::string path(const char* name) const { return (dir_->path() + "/" + name).toStdString(); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestFileStream::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("crlf and lf") << QByteArray("a\r\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("final line end") << QByteArray("a\n") << QStringList{"a"};
    QTest::newRow("empty lines") << QByteArray("\n\r\n\n") << QStringList{"", "", ""};
    QTest::newRow("lone cr kept") << QByteArray("a\rb\n") << QStringList{"a\rb"};
    QTest::newRow("bytes kept") << QByteArray("\xe9\xff\t \n") << QStringList{QString::fromLatin1("\xe9\xff\t ")};
    // Longer than the 1 MiB block, and a line end right at the block edge.
    QTest::newRow("long line") << (QByteArray(3 << 20, 'x') + "\nz") << QStringList{QString(3 << 20, 'x'), "z"};
    QTest::newRow("edge") << (QByteArray((1 << 20) - 1, 'y') + "\r\nq\n")
                          << QStringList{QString((1 << 20) - 1, 'y'), "q"};
}

void TestFileStream::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    spit(path("in.txt"), bytes.toStdString());
    InputFile file;
    QVERIFY(file.open(path("in.txt")).ok());
    QCOMPARE(file.size(), bytes.size());
    LineReader reader(file);
    QStringList got;
    std::string_view line;
    while (reader.next(line)) got << QString::fromLatin1(line.data(), qsizetype(line.size()));
    QCOMPARE(got, lines);
    QCOMPARE(reader.line_number(), lines.size());
    QVERIFY(!file.failed());
    QCOMPARE(file.position(), bytes.size());
}

void TestFileStream::output_replaces_only_on_commit()
{
    const std::string target = path("out ü.txt");
    spit(target, "old");
    {
        OutputFile out;
        QVERIFY(out.open(target).ok());
        out.write("new data");
        // Dropped without commit: the old file stays, no temporary is left.
    }
    QCOMPARE(slurp(target), std::string("old"));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir_->path().toStdString()), {}), 1);

    OutputFile out;
    QVERIFY(out.open(target).ok());
    const std::string big(3 << 20, 'b');
    out.write("x");
    out.put('\n');
    out.write(big);
    QCOMPARE(out.bytes_written(), std::int64_t(2 + big.size()));
    QVERIFY(out.commit().ok());
    QCOMPARE(slurp(target), "x\n" + big);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir_->path().toStdString()), {}), 1);
}

void TestFileStream::refusals_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("problem");   // empty: allowed
    QTest::newRow("same path") << "a.txt" << "a.txt" << "the output file is the input file";
    QTest::newRow("other spelling") << "a.txt" << "sub/../a.txt" << "the output file is the input file";
    QTest::newRow("new output") << "a.txt" << "b.txt" << "";
    QTest::newRow("missing input") << "none.txt" << "b.txt" << "";
}

void TestFileStream::refusals()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, problem);
    std::filesystem::create_directory(path("sub"));
    spit(path("a.txt"), "a");
    const auto status = check_distinct_files(path(qPrintable(input)), path(qPrintable(output)));
    QCOMPARE(status.ok(), problem.isEmpty());
    if (!status.ok()) QVERIFY(QString::fromStdString(status.error().text()).contains(problem));

    // Reading refuses what is not a regular file and names the file.
    InputFile file;
    const auto missing = file.open(path("none.txt"));
    QVERIFY(!missing.ok());
    QVERIFY(missing.error().text().find("none.txt") != std::string::npos);
    QVERIFY(!file.open(path("sub")).ok());
    OutputFile out;
    QVERIFY(!out.open(path("sub")).ok());
    QVERIFY(!out.open(path("no/such/folder/x.txt")).ok());
}

QTEST_APPLESS_MAIN(TestFileStream)
#include "test_file_stream.moc"
