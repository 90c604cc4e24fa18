// Writing a test's input file and reading what a tool wrote.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace mq::testing {

// Returns true (a failure ends the test run), so it also reads well in QVERIFY.
inline bool write_file(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return true;
}

// The file's bytes, or "<missing>".
inline QByteArray read_file(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace mq::testing
