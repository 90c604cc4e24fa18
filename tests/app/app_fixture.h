// A main window wired to the scripted platform, for window-level tests.
#pragma once

#include "app/frmeditor.h"
#include "app/mdiform1.h"
#include "platform/scripted_platform.h"
#include "platform/test_files.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace mq::testing {

using Stored = QMap<QPair<QString, QString>, QString>;

struct AppFixture {
    ScriptedPlatform platform;
    std::unique_ptr<app::MDIForm1> main;
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();

    // Optionally fills the settings store before the program starts, and
    // runs programs for real (watched ones, and others as well).
    explicit AppFixture(const Stored& stored = {}, platform::Processes* processes = nullptr,
                        platform::Programs* programs = nullptr)
    {
        // The program's current folder is the temporary one: whatever a test
        // saves under a relative name lands there, never in the source tree.
        QDir::setCurrent(dir.path());
        platform.settings.values = stored;
        platform::Services services = platform.services();
        if (processes) services.processes = processes;
        if (programs) services.programs = programs;
        main = std::make_unique<app::MDIForm1>(services);
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
    QStringList panels() const { return {panel(2), panel(3), panel(4)}; }
    bool enabled(const char* name) const { return main->action(QLatin1String(name))->isEnabled(); }
    QString caption(const char* name) const { return main->action(QLatin1String(name))->text(); }
    QStringList recentCaptions() const
    {
        return {caption("mn_1_1"), caption("mn_2_2"), caption("mn_3_3"), caption("mn_4_4")};
    }
    void trigger(const QString& name) const { main->action(name)->trigger(); }
    app::frmEditor* editor() const { return main->activeEditor(); }
    const ScriptedMessages::Shown& message() const { return platform.messages.shown.back(); }
    int messages() const { return int(platform.messages.shown.size()); }
    // The last message box, all of it.
    void checkMessage(const QString& text, const QString& title, platform::MessageIcon icon,
                      platform::MessageButtons buttons = platform::MessageButtons::Ok) const
    {
        QVERIFY(messages() > 0);
        QCOMPARE(message().text, text);
        QCOMPARE(message().title, title);
        QCOMPARE(message().icon, icon);
        QCOMPARE(message().buttons, buttons);
    }
    // File > Save File, with the dialog answering `path` where it is asked.
    void save(const QString& path)
    {
        platform.dialog.answers.enqueue(ScriptedDialog::accept(path));
        trigger(QStringLiteral("mn_save"));
    }

    // A new editor holding `text`, the caret at its end.
    app::frmEditor* newEditor(const QString& text = {})
    {
        trigger(QStringLiteral("mn_new"));
        if (!text.isEmpty()) main->activeEditor()->insertAtCaret(text);
        return main->activeEditor();
    }

    // Selects from `anchor` to `position` (the caret).
    static void select(app::frmEditor* editor, int anchor, int position)
    {
        QTextCursor cursor = editor->Text1->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor->Text1->setTextCursor(cursor);
    }

    // As the program shows paths ("\\" on Windows).
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir.filePath(name)); }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        write_file(path(name), bytes);
        return path(name);
    }
    static QByteArray readFile(const QString& path) { return read_file(path); }

    // Opens a file as the recent-files list or Open File would (with the
    // path as the platform writes it).
    app::frmEditor* open(const QString& file)
    {
        main->open_file_function(QDir::toNativeSeparators(file));
        return main->activeEditor();
    }
    app::frmEditor* open(const QString& name, const QByteArray& bytes) { return open(writeFile(name, bytes)); }
};

// Drags `data` over `target` and drops it at `at`, as another program would.
inline void dropOnto(QWidget* target, QMimeData* data, QPoint at)
{
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    drop.ignore();
    QApplication::sendEvent(target, &drop);
}

// Compares `lines` with the golden file data/<name>; with MQ_WRITE_GOLDEN set
// it writes the file instead.
inline void compareGolden(const QString& name, const QStringList& lines)
{
    const QString path = QStringLiteral(MQ_TEST_DATA_DIR "/data/") + name;
    QByteArray text = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
    if (qEnvironmentVariableIsSet("MQ_WRITE_GOLDEN")) write_file(path, text);
    QCOMPARE(QString::fromUtf8(read_file(path)).split(QLatin1Char('\n')),
             QString::fromUtf8(text).split(QLatin1Char('\n')));
}

}  // namespace mq::testing
