// The File menu: new, open, import, save, print and the recent files.
#include "app/mdiform1.h"

#include "app/core/document_rules.h"
#include "app/core/script_codec.h"
#include "app/frame_helpers.h"
#include "app/frmeditor.h"
#include "app/gmt_completion.h"
#include "common/file_io.h"
#include "common/number_rules.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>

namespace mq::app {

using namespace frame;
using namespace io;

void MDIForm1::readRecentCaptions()
{
    for (int number = 4; number >= 1; --number) {
        const QString key = QStringLiteral("%1_%1").arg(number);
        const QString path = services_.settings->get(QStringLiteral("Files"), key);
        // Also entries kept with "/" show as the platform writes paths.
        const std::string shown = QDir::toNativeSeparators(path).toStdString();
        action(QStringLiteral("mn_") + key)->setText(menuText(qs(recentCaption(number, shown))));
    }
}

frmEditor* MDIForm1::createEditor(const QString& caption)
{
    auto* editor = new frmEditor(*this);
    editor->setCaption(caption);
    connect(editor, &frmEditor::positionChanged, this, &MDIForm1::showPosition);
    connect(editor, &frmEditor::unloaded, this, &MDIForm1::count_open_forms);
    // Not inside the drop itself: the new windows take the focus.
    connect(editor, &frmEditor::filesDropped, this, &MDIForm1::openFiles, Qt::QueuedConnection);
    editor->PositionAusgeben();
    // GMT's module names and options are offered as the script is typed.
    new GmtCompletion(editor->Text1, *gmtModules_);
    QMdiSubWindow* sub = mdiArea_->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    // Ctrl+W starts the command window; an editor closes with Ctrl+F4.
    if (QMenu* systemMenu = sub->systemMenu())
        for (QAction* a : systemMenu->actions())
            if (a->shortcut() == QKeySequence(QKeySequence::Close) || a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_W))
                a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    // New windows take most of the frame, each a little below the previous one.
    const QSize area = mdiArea_->viewport()->size();
    const int offset = 24 * int(editors().size() - 1) % std::max(1, area.height() / 3);
    sub->resize(std::max(420, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
    sub->move(offset, offset);
    frm_ = editor;
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
    return editor;
}

void MDIForm1::mn_new_Click()
{
    createEditor(QStringLiteral("'Script"));
    count_open_forms();
}

QString MDIForm1::open_file_dialog()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    dialog.state().filter = qs(kOpenFilter);
    dialog.state().dialogTitle = QStringLiteral("Open File ...");
    if (!dialog.showOpen()) {
        file_path_in_.clear();
        return {};
    }
    file_path_in_ = dialog.state().fileName;
    file_path_out_ = file_path_in_;
    return file_path_in_;
}

void MDIForm1::mn_open_file_Click()
{
    file_path_in_.clear();
    const QString path = open_file_dialog();
    if (!path.isEmpty()) open_file_function(path);
}

void MDIForm1::applyStoredFont(frmEditor* editor)
{
    auto& settings = *services_.settings;
    QFont font = editor->Text1->font();
    const auto size = numbers::read_number(settings.get(QStringLiteral("Text"), QStringLiteral("Font_Size")).toStdString());
    if (size && isSaneFontSize(*size)) font.setPointSize(int(numbers::round_to(*size, 0)));
    const QString name = settings.get(QStringLiteral("Text"), QStringLiteral("Font_Name"));
    if (!name.isEmpty()) font.setFamily(name);
    editor->Text1->setFont(font);
    bool ok = false;
    const quint32 color = settings.get(QStringLiteral("Text"), QStringLiteral("Font_Color")).toUInt(&ok);
    if (ok) editor->setTextColor(color);
}

void MDIForm1::open_file_function(const QString& path)
{
    file_path_in_ = path;
    file_path_out_ = path;
    const mq::Result<std::string> read = readWholeFile(localPath(path));
    if (!read) {
        if (read.error().kind == mq::ErrorKind::file_not_found) {
            services_.messages->show(QStringLiteral("File moved or deleted, however it couldn't be found.\r\n\r\n") +
                                         shownPath(path),
                                     platform::MessageButtons::Ok, platform::MessageIcon::Question,
                                     QStringLiteral("File not found"));
        } else {
            const QString number = QString::number(mq::error_number(read.error().kind));
            services_.messages->show(QStringLiteral("function: open_file_function:  ") + number +
                                         QStringLiteral("  ") + qs(read.error().message) +
                                         QStringLiteral("\r\n\r\n") + shownPath(path),
                                     platform::MessageButtons::Ok, platform::MessageIcon::None,
                                     QStringLiteral("Mapquill"));
        }
        return;
    }
    frmEditor* editor = createEditor(QStringLiteral("'Script"));
    applyStoredFont(editor);
    editor->loadFileBytes(read.value());
    editor->setDocument(path, true);
    editor->Text1->moveCursor(QTextCursor::Start);
    editor->Text1->setFocus();
    count_open_forms();
    write_reg(path);
}

void MDIForm1::openFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        open_file_function(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void MDIForm1::write_reg(const QString& path)
{
    RecentFiles entries;
    for (int i = 0; i < 4; ++i)
        entries[size_t(i)] = pathFromRecentCaption(
            fromMenuText(action(QStringLiteral("mn_%1_%1").arg(i + 1))->text()).toStdString());
    if (!recordRecentFile(entries, path.toStdString())) return;
    for (int number = 4; number >= 1; --number) {
        const QString key = QStringLiteral("%1_%1").arg(number);
        const std::string& entry = entries[size_t(number - 1)];
        action(QStringLiteral("mn_") + key)->setText(menuText(qs(recentCaption(number, entry))));
        services_.settings->set(QStringLiteral("Files"), key, qs(entry));
    }
}

void MDIForm1::mn_recent_Click(int number)
{
    const QString caption = fromMenuText(action(QStringLiteral("mn_%1_%1").arg(number))->text());
    const std::string path = pathFromRecentCaption(caption.toStdString());
    if (!path.empty()) open_file_function(qs(path));
    count_open_forms();
}

void MDIForm1::mn_import_Click()
{
    const QString path = open_file_dialog();
    if (path.isEmpty()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const mq::Result<std::string> read = readWholeFile(localPath(path));
    if (!read) return;
    std::u16string text;
    LoadedScript::fromBytes(read.value(), text);
    editor->insertAtCaret(fromU16(text));
    editor->setModified(true);
    editor->Text1->setFocus();
}

bool MDIForm1::writeEditor(frmEditor* editor, const QString& path)
{
    const EncodedScript encoded = editor->encodeForSave();
    if (encoded.switchedToUtf8) {
        // The file's bytes cannot be kept: only with the user's consent.
        const auto answer = services_.messages->show(
            QStringLiteral("The text holds characters that the file's code page cannot store:\r\n\r\n") + shownPath(path) +
                QStringLiteral("\r\n\r\nSave it as UTF-8?"),
            platform::MessageButtons::OkCancel, platform::MessageIcon::Question, QStringLiteral("Mapquill"));
        if (answer != platform::MessageAnswer::Ok) return false;
    }
    const mq::Status written = writeFileSafely(localPath(path), encoded.bytes);
    if (!written) {
        QString text = QStringLiteral("The file ") + shownPath(path) + QStringLiteral(" could not be saved: ") +
                       qs(written.error().message) + QLatin1Char('.');
        // What became of the old file; a path in it is shown as every path is.
        const QString note = qs(written.error().note), kept = QStringLiteral("Its old contents are kept in ");
        if (!note.isEmpty())
            text += QStringLiteral("\r\n\r\n") +
                    (note.startsWith(kept) ? kept + shownPath(note.mid(kept.size())) : note);
        services_.messages->show(text, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                                 QStringLiteral("File not saved"));
        return false;
    }
    editor->markSaved(encoded);
    return true;
}

bool MDIForm1::saveEditor(frmEditor* editor)
{
    if (open_forms() < 1 || !editor) return false;
    if (editor->isUnconfirmed()) return saveEditorAs(editor);
    const QString path = editor->documentPath();
    file_path_out_ = path;
    if (!writeEditor(editor, path)) return false;
    editor->setDocument(path, false);
    return true;
}

bool MDIForm1::saveEditorAs(frmEditor* editor)
{
    auto& dialog = *services_.dialog;
    auto& s = dialog.state();
    s.cancelError = true;
    s.overwritePrompt = true;
    s.filter = qs(kSaveFilter);
    s.dialogTitle = QStringLiteral("Save File as ...");
    if (!editor) return false;
    const SaveFilterChoice choice = saveFilterFor(editor->documentPath().toStdString());
    s.filterIndex = choice.filterIndex;
    if (choice.defaultExt) s.defaultExt = qs(*choice.defaultExt);
    s.fileName = editor->documentPath();
    if (!dialog.showSave()) return false;
    const QString path = s.fileName;
    file_path_out_ = path;
    file_path_in_ = path;
    if (!writeEditor(editor, path)) return false;
    editor->setDocument(path, false);
    write_reg(path);
    count_open_forms();   // Run script follows the new name
    return true;
}

void MDIForm1::mn_save_Click() { saveEditor(activeEditor()); }

void MDIForm1::mn_save_as_Click() { saveEditorAs(activeEditor()); }

void MDIForm1::mn_print_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    if (!dialog.showPrinter()) return;
    if (frmEditor* editor = activeEditor()) dialog.printText(editor->plainText());
}

}  // namespace mq::app
