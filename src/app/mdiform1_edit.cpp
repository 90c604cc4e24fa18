// The Edit and Window menus, the toolbar dispatch and the commands that
// write into the active editor.
#include "app/mdiform1.h"

#include "app/core/document_rules.h"
#include "app/frame_helpers.h"
#include "app/frmeditor.h"
#include "catalogue/comment_toggle.h"
#include "catalogue/script_templates.h"
#include "common/number_rules.h"

#include <QAction>
#include <QDir>
#include <QFont>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

namespace mq::app {

using namespace frame;

void MDIForm1::mn_undo_Click()
{
    if (frmEditor* editor = activeEditor()) editor->Text1->undo();
}

void MDIForm1::mn_cut_Click()
{
    services_.clipboard->clear();
    frmEditor* editor = activeEditor();
    if (!editor) return;
    services_.clipboard->setText(editor->selectedText());
    editor->insertAtCaret(QString());
}

void MDIForm1::mn_copy_Click()
{
    services_.clipboard->clear();
    if (frmEditor* editor = activeEditor()) services_.clipboard->setText(editor->selectedText());
}

void MDIForm1::mn_paste_Click()
{
    // A paste is an undo step of its own, apart from the typing around it.
    const QString text = services_.clipboard->text() + QLatin1Char(' ');
    frmEditor* editor = activeEditor();
    if (!editor) return;
    editor->insertAsOneStep(text);
}

void MDIForm1::mn_mark_all_Click()
{
    if (frmEditor* editor = activeEditor()) editor->Text1->selectAll();
}

void MDIForm1::mn_color_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    if (!dialog.showColor()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const quint32 color = dialog.state().color;
    editor->setTextColor(color);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Color"), QString::number(color));
}

void MDIForm1::mn_font_Click()
{
    auto& dialog = *services_.dialog;
    dialog.state().cancelError = true;
    dialog.state().screenFonts = true;
    dialog.state().fontEffects = true;
    if (!dialog.showFont()) return;
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const double size = dialog.state().fontSize;
    if (!isSaneFontSize(size)) {
        services_.messages->show(QStringLiteral("The font size %1 is not between 1 and 400 points; the font was not changed.")
                                     .arg(qs(numbers::general_text(size))),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                                 QStringLiteral("Font"));
        return;
    }
    QFont font = editor->Text1->font();
    font.setFamily(dialog.state().fontName);
    font.setPointSizeF(size);
    editor->Text1->setFont(font);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Name"), dialog.state().fontName);
    services_.settings->set(QStringLiteral("Text"), QStringLiteral("Font_Size"),
                            qs(numbers::general_text(size)));
}

void MDIForm1::mn_cascade_Click() { mdiArea_->cascadeSubWindows(); }

void MDIForm1::mn_horizontal_Click() { arrangeTiled(true); }

void MDIForm1::mn_vertical_Click() { arrangeTiled(false); }

void MDIForm1::arrangeTiled(bool horizontal)
{
    QList<QMdiSubWindow*> windows;
    // The editors only: the About window keeps its fixed size and place.
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (qobject_cast<frmEditor*>(sub->widget()) && sub->isVisible() && !sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    const QRect area = mdiArea_->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized()) sub->showNormal();
        if (horizontal) {
            const int top = area.height() * i / count, bottom = area.height() * (i + 1) / count;
            sub->setGeometry(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * i / count, right = area.width() * (i + 1) / count;
            sub->setGeometry(left, 0, right - left, area.height());
        }
    }
}

void MDIForm1::mn_icons_Click()
{
    // Minimized windows line up along the bottom edge.
    const QRect area = mdiArea_->viewport()->rect();
    int x = 0, y = area.height();
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void MDIForm1::mn_open_command_Click()
{
    if (services_.programs->startCommandWindow(QDir::currentPath())) return;
    services_.messages->show(QStringLiteral("No command window could be started: no terminal program was found."),
                             platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                             QStringLiteral("Start a Command Window"));
}

bool MDIForm1::showInsertFileDialog(const QString& title)
{
    auto& dialog = *services_.dialog;
    auto& s = dialog.state();
    s.cancelError = true;
    s.hideReadOnly = true;
    s.explorerStyle = true;
    s.initDir = QDir::currentPath();
    s.fileName.clear();   // a name left from the last use would move the dialog to its folder
    s.filter = qs(kInsertFilter);
    s.filterIndex = 2;
    s.dialogTitle = title;
    return dialog.showOpen();
}

void MDIForm1::mn_insert_file_path_Click()
{
    if (!showInsertFileDialog(QStringLiteral("Insert File Path ..."))) return;
    if (!InsertAtCaret(services_.dialog->state().fileName + QLatin1Char(' '))) return;
    activeEditor()->Text1->setFocus();
}

void MDIForm1::mn_insert_file_name_Click()
{
    if (!showInsertFileDialog(QStringLiteral("Insert File Name ..."))) return;
    const auto name = insertableFileName(services_.dialog->state().fileName.toStdString());
    if (!name) return;
    if (!InsertAtCaret(QString::fromStdString(*name) + QLatin1Char(' '))) return;
    activeEditor()->Text1->setFocus();
}

bool MDIForm1::InsertAtCaret(const QString& text)
{
    frmEditor* editor = activeEditor();
    if (!editor) return false;
    editor->insertAtCaret(text);
    return true;
}

void MDIForm1::runTemplate(const catalogue::ScriptTemplate& tpl)
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    editor->beginCompoundEdit();
    for (const std::string& piece : catalogue::expandPieces(tpl, currentDateTimeText().toStdString()))
        editor->insertAtCaret(QString::fromStdString(piece));
    editor->endCompoundEdit();
    if (tpl.focusAfter) editor->Text1->setFocus();
}

void MDIForm1::mn_rem_Click()
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const std::string toggled = catalogue::toggle_rem(editor->selectedText().toStdString());
    editor->insertAtCaret(QString::fromStdString(toggled));
}

void MDIForm1::Toolbar1_ButtonClick(const QString& key)
{
    // A button runs the action it shares with its menu entry; keys compare
    // exactly, and a snippet button's face has none.
    if (QToolButton* button = toolButtons_.value(key))
        if (QAction* command = button->defaultAction()) command->trigger();
}

void MDIForm1::Toolbar1_ButtonMenuClick(const QString& key)
{
    // Snippets never move the focus.
    if (const catalogue::ScriptTemplate* snippet = catalogue::findSnippet(key.toStdString())) runTemplate(*snippet);
}

}  // namespace mq::app
