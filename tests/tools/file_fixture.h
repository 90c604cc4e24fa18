// Files for the file-tool tests: written into a temporary folder, read back
// byte for byte.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace mq::testing {

class FileFixture {
public:
    // Path of a file in the temporary folder, as UTF-8.
    std::string path(const char* name) const { return dir_.filePath(name).toStdString(); }

    std::string write(const char* name, const QByteArray& bytes) const
    {
        QFile f(dir_.filePath(name));
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", name);
        f.write(bytes);
        return path(name);
    }

    QByteArray read(const char* name) const
    {
        QFile f(dir_.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll();
    }

    bool exists(const char* name) const { return QFile::exists(dir_.filePath(name)); }

private:
    QTemporaryDir dir_;
};

}  // namespace mq::testing
