// Run script, the "Output" dock and going from its messages to script lines.
#include "app/mdiform1.h"

#include "app/core/gmt_location.h"
#include "app/core/gmt_usage.h"
#include "app/frmeditor.h"
#include "app/gmt_help_dock.h"
#include "app/gmt_modules.h"
#include "app/map_dock.h"
#include "app/output_dock.h"
#include "app/script_run.h"
#include "app/text_search.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace mq::app {

void MDIForm1::buildOutputDock()
{
    outputDock_ = new OutputDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, outputDock_);
    outputDock_->hide();
    // First shown, it takes two fifths of the frame's height.
    auto first = std::make_shared<QMetaObject::Connection>();
    *first = connect(outputDock_, &QDockWidget::visibilityChanged, this, [this, first](bool visible) {
        if (!visible) return;
        disconnect(*first);
        QTimer::singleShot(0, this, [this] {
            resizeDocks({outputDock_}, {(mdiArea_->height() + outputDock_->height()) * 2 / 5}, Qt::Vertical);
        });
    });
    scriptRun_ = new ScriptRun(services_, *outputDock_, this);
    connect(outputDock_, &OutputDock::messageChosen, this, &MDIForm1::goToMessage);
    connect(outputDock_, &OutputDock::mendAllClicked, this, [this] { mendGmt6(gmt6Editor_, -1); });
    connect(outputDock_, &OutputDock::mendChosen, this, [this](int row) { mendGmt6(gmt6Editor_, row); });
    // Run script follows the active editor.
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { count_open_forms(); });
    // The "Map" dock shows the picture a run wrote, found with the run's GMT.
    mapDock_ = new MapDock(services_, this, [run = scriptRun_] { return run->gmtProgram(); });
    addDockWidget(Qt::RightDockWidgetArea, mapDock_);
    mapDock_->hide();
    connect(scriptRun_, &ScriptRun::runStarted, mapDock_, [this](const QString& folder) {
        mapDock_->runStarted(folder);
    });
    connect(scriptRun_, &ScriptRun::runFinished, mapDock_, [this](const QString& text) {
        mapDock_->show();
        mapDock_->runFinished(text);
    });
    gmtModules_ = new GmtModules(services_, [run = scriptRun_] { return run->gmtProgram(); }, this);
    gmtHelp_ = new GmtHelpDock(services_, *gmtModules_, [this] { return gmt_html_path_; }, this);
    addDockWidget(Qt::RightDockWidgetArea, gmtHelp_);
    gmtHelp_->hide();
}

void MDIForm1::mn_gmt_folder_Click()
{
    platform::CommonDialogState& state = services_.dialog->state();
    state.dialogTitle = QStringLiteral("GMT folder: choose the gmt program");
    state.filter = QStringLiteral("gmt program (gmt*)|gmt*|All Files (*.*)|*.*|");
    state.filterIndex = 1;
    state.fileName.clear();
    state.cancelError = true;
    if (!services_.dialog->showOpen() || state.fileName.isEmpty()) return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(state.fileName).absolutePath());
    services_.settings->set(QString::fromUtf8(kGmtSettingsSection), QString::fromUtf8(kGmtFolderKey), folder);
    const QString gmt = scriptRun_->gmtProgram();
    outputDock_->show();
    outputDock_->appendLine(gmt.isEmpty() ? QString::fromStdString(gmt_missing_text())
                                          : QStringLiteral("GMT: %1").arg(QDir::toNativeSeparators(gmt)),
                            OutputDock::Shown::note);
    gmtModules_->load();
}

void MDIForm1::mn_module_help_Click()
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    const QTextCursor caret = editor->Text1->textCursor();
    const QByteArray line = caret.block().text().toUtf8();
    const auto at = caret.block().text().left(caret.positionInBlock()).toUtf8().size();
    QString word;
    if (const auto module = module_at(std::string_view(line.constData(), std::size_t(line.size())), std::size_t(at)))
        word = QString::fromStdString(module->name);
    else {
        QTextCursor under = caret;
        under.select(QTextCursor::WordUnderCursor);
        word = under.selectedText();
    }
    if (word.isEmpty()) return;
    gmtHelp_->showFor(word);
    gmtHelp_->show();
    gmtHelp_->raise();
}

void MDIForm1::mn_run_script_Click()
{
    frmEditor* editor = activeEditor();
    if (!editor) return;
    if (scriptRun_->running()) {
        scriptRun_->start(editor->documentPath());   // refused, with a note
        return;
    }
    // Unsaved changes are saved first, as closing asks; Cancel runs nothing.
    if (!editor->queryClose()) return;
    for (frmEditor* e : editors()) e->markLine(0);
    const QString path = editor->documentPath();
    if (!QFileInfo::exists(path)) {
        outputDock_->show();
        outputDock_->appendLine(
            QStringLiteral("%1 has not been saved yet.").arg(QDir::toNativeSeparators(path)),
            OutputDock::Shown::note);
        return;
    }
    scriptRun_->start(path);
}

void MDIForm1::goToMessage(const LinkedMessage& message)
{
    if (message.line <= 0 || message.file.empty()) return;
    const QString file = QDir::toNativeSeparators(QString::fromStdString(message.file));
    const QString wanted = QFileInfo(file).absoluteFilePath();
    frmEditor* target = nullptr;
    for (frmEditor* editor : editors())
        if (!editor->isUnloaded() && QFileInfo(editor->documentPath()).absoluteFilePath() == wanted)
            target = editor;
    if (!target) {
        if (!QFileInfo::exists(file)) return;
        open_file_function(file);
        target = activeEditor();
        if (!target) return;
    }
    target->activate();
    goToLine(*target->Text1, message.line);
    if (message.column > 1) {
        QTextCursor caret = target->Text1->textCursor();
        caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                           std::min(message.column - 1, caret.block().length() - 1));
        target->Text1->setTextCursor(caret);
    }
    target->markLine(message.line);
    target->Text1->setFocus();
}

}  // namespace mq::app
