// A main window wired to the scripted platform, for window-level tests.
#pragma once

#include "app/frmeditor.h"
#include "app/mdiform1.h"
#include "platform/scripted_platform.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace mq::testing {

struct AppFixture {
    ScriptedPlatform platform;
    std::unique_ptr<app::MDIForm1> main;
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();

    // Optionally fills the settings store before the program starts.
    explicit AppFixture(const QMap<QPair<QString, QString>, QString>& stored = {})
    {
        // The program's current folder is the temporary one: whatever a test
        // saves under a relative name lands there, never in the source tree.
        QDir::setCurrent(dir.path());
        platform.settings.values = stored;
        main = std::make_unique<app::MDIForm1>(platform.services());
        main->show();
    }

    ~AppFixture()
    {
        // Leave without questions: nothing may block the next test.
        for (app::frmEditor* editor : main->editors()) editor->setCaption(QStringLiteral("closing"));
        main->close();
        QDir::setCurrent(previousFolder);
    }

    QString panel(int number) const { return main->statusPanel(number)->text(); }
    bool enabled(const char* name) const { return main->action(QLatin1String(name))->isEnabled(); }
    QString caption(const char* name) const { return main->action(QLatin1String(name))->text(); }
    void trigger(const QString& name) const { main->action(name)->trigger(); }
    app::frmEditor* editor() const { return main->activeEditor(); }

    app::frmEditor* newEditor()
    {
        main->mn_new_Click();
        return main->activeEditor();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write a test file");
        file.write(bytes);
        return file.fileName();
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
        return file.readAll();
    }

    // Opens a file as the recent-files list or Open File would.
    app::frmEditor* open(const QString& file)
    {
        main->set_file_path_in(file);
        main->open_file_function();
        return main->activeEditor();
    }
};

}  // namespace mq::testing
