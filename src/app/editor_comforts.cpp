#include "app/editor_comforts.h"

#include "app/core/syntax_rules.h"
#include "app/find_bar.h"
#include "app/frmeditor.h"
#include "app/mdiform1.h"
#include "app/syntax_highlighter.h"
#include "app/text_search.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTextBlock>
#include <QToolBar>
#include <QUrl>
#include <limits>

namespace mq::app {

namespace {

const QString kSettingsSection = QStringLiteral("Text");
const QString kHighlightingKey = QStringLiteral("Syntax_Highlighting");

FileKind kindOf(const frmEditor& editor) { return fileKindFor(editor.documentPath().toStdU16String()); }

}  // namespace

EditorComforts::EditorComforts(MDIForm1& main) : QObject(&main), main_(main)
{
    setObjectName(QStringLiteral("editorComforts"));

    findBar_ = new FindBar(main);
    findArea_ = new QToolBar(QStringLiteral("Find"), &main);
    findArea_->setObjectName(QStringLiteral("findArea"));
    findArea_->setMovable(false);
    findArea_->setFloatable(false);
    findArea_->toggleViewAction()->setVisible(false);
    findArea_->addWidget(findBar_);
    main.addToolBar(Qt::BottomToolBarArea, findArea_);
    findArea_->hide();
    connect(findBar_, &FindBar::closeRequested, this, [this] {
        // Back to the editor searched in, before the bar goes: hiding the
        // focused bar would hand the focus to whichever window comes next.
        if (searchedEditor_) {
            searchedEditor_->activate();
            searchedEditor_->Text1->setFocus();
        }
        findArea_->hide();
    });
    findBar_->installEventFilter(this);
    for (QLineEdit* box : {findBar_->findBox, findBar_->replaceBox}) box->installEventFilter(this);

    // Highlighting is on unless the user switched it off.
    highlighting_ = main.services().settings->get(kSettingsSection, kHighlightingKey) != QLatin1String("0");
    QAction* toggle = main.action(QStringLiteral("mn_syntax_highlighting"));
    toggle->setCheckable(true);
    toggle->setChecked(highlighting_);

    // Every editor gets its highlighter when it first becomes active, which
    // New and Open do at once.
    connect(main.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        // After the command that made it has filled it: a document replaced
        // wholesale would drop the colours of a highlighter attached before.
        if (auto* editor = sub ? qobject_cast<frmEditor*>(sub->widget()) : nullptr)
            QMetaObject::invokeMethod(editor, [this, editor] { attach(editor); }, Qt::QueuedConnection);
    });

    // Files dropped on the main window open as File > Open opens them.
    main.setAcceptDrops(true);
    main.installEventFilter(this);
}

void EditorComforts::attach(frmEditor* editor)
{
    if (editor->Text1->findChild<ScriptHighlighter*>()) return;
    auto* highlighter = new ScriptHighlighter(*editor->Text1);
    highlighter->configure(highlighting_, kindOf(*editor));
    // Saving under a new name can change the kind of document.
    connect(editor, &QWidget::windowTitleChanged, highlighter,
            [this, editor, highlighter] { highlighter->configure(highlighting_, kindOf(*editor)); });
}

void EditorComforts::setHighlightingEnabled(bool enabled)
{
    highlighting_ = enabled;
    main_.services().settings->set(kSettingsSection, kHighlightingKey, enabled ? QStringLiteral("1") : QStringLiteral("0"));
    if (QAction* toggle = main_.action(QStringLiteral("mn_syntax_highlighting")); toggle->isChecked() != enabled)
        toggle->setChecked(enabled);
    for (frmEditor* editor : main_.editors())
        if (auto* highlighter = editor->Text1->findChild<ScriptHighlighter*>())
            highlighter->configure(enabled, kindOf(*editor));
}

void EditorComforts::showFindBar(bool replacing)
{
    searchedEditor_ = main_.activeEditor();
    if (!searchedEditor_) return;
    findArea_->show();
    findBar_->start(replacing);
}

void EditorComforts::mn_find_Click() { showFindBar(false); }
void EditorComforts::mn_replace_text_Click() { showFindBar(true); }

void EditorComforts::mn_find_next_Click()
{
    if (findBar_->findBox->text().isEmpty()) return showFindBar(false);
    findBar_->findNext();
}

void EditorComforts::mn_find_previous_Click()
{
    if (findBar_->findBox->text().isEmpty()) return showFindBar(false);
    findBar_->findPrevious();
}

void EditorComforts::mn_go_to_line_Click()
{
    frmEditor* editor = main_.activeEditor();
    if (!editor) return;
    const int lines = editor->Text1->document()->blockCount();
    QInputDialog dialog(&main_);
    dialog.setObjectName(QStringLiteral("goToLineDialog"));
    dialog.setWindowTitle(QStringLiteral("Go to Line"));
    dialog.setLabelText(QStringLiteral("Line number (1 - %1):").arg(lines));
    dialog.setInputMode(QInputDialog::IntInput);
    // Any number is taken: one past the end goes to the last line (a range
    // ending at the last line made the box drop the digit that passed it).
    dialog.setIntRange(1, std::numeric_limits<int>::max());
    dialog.setIntValue(editor->Text1->textCursor().blockNumber() + 1);
    if (dialog.exec() != QDialog::Accepted) return;
    goToLine(*editor->Text1, dialog.intValue());
    editor->Text1->setFocus();
}

QStringList EditorComforts::droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

bool EditorComforts::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == &main_) {
        if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(e);
            if (!droppedFiles(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (e->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(e);
            const QStringList files = droppedFiles(drop->mimeData());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                main_.openFiles(files);
                return true;
            }
        }
        return false;
    }
    // Esc in the find bar closes it.
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        emit findBar_->closeRequested();
        return true;
    }
    return false;
}

}  // namespace mq::app
