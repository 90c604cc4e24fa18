#include "app/gmt_completion.h"

#include "app/core/gmt_usage.h"
#include "app/gmt_modules.h"

#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTreeView>
#include <algorithm>
#include <utility>

namespace mq::app {

namespace {

const QString kModules = QStringLiteral("*");

// The text before the caret, lines continued with "^" or "\" joined to it.
QString textBeforeCaret(const QTextCursor& cursor)
{
    QString text = cursor.block().text().left(cursor.positionInBlock());
    for (QTextBlock block = cursor.block().previous(); block.isValid(); block = block.previous()) {
        const QString line = block.text().trimmed();
        if (!line.endsWith(QLatin1Char('^')) && !line.endsWith(QLatin1Char('\\'))) break;
        text = line.chopped(1) + QLatin1Char(' ') + text;
    }
    return text;
}

}  // namespace

GmtCompletion::GmtCompletion(QPlainTextEdit* box, GmtModules& modules)
    : QObject(box), box_(box), modules_(&modules)
{
    setObjectName(QStringLiteral("gmtCompletion"));
    model_ = new QStandardItemModel(0, 2, this);
    completer_ = new QCompleter(model_, this);
    popup_ = new QTreeView;
    popup_->setObjectName(QStringLiteral("gmtCompletionList"));
    popup_->setHeaderHidden(true);
    popup_->setRootIsDecorated(false);
    popup_->setUniformRowHeights(true);
    popup_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A long purpose ends in "..." in the last column rather than under a scroll bar.
    popup_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    completer_->setPopup(popup_);  // the completer owns it now
    completer_->setWidget(box_);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setCompletionColumn(0);
    completer_->setFilterMode(Qt::MatchStartsWith);
    completer_->setMaxVisibleItems(12);
    // Watching the list as well: the completer hands most keys on to the box
    // past its filters.
    popup_->installEventFilter(this);
    box_->installEventFilter(this);

    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this, &GmtCompletion::insert);
    connect(box_, &QPlainTextEdit::textChanged, this, [this] {
        if (std::exchange(typing_, false)) update();
    });
    connect(box_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (offering()) update();
    });
    connect(modules_, &GmtModules::modulesRead, this, [this] {
        if (waitingFor_ == kModules) update();
    });
    connect(modules_, &GmtModules::usageRead, this, [this](const QString& module) {
        if (waitingFor_ == module) update();
    });
}

bool GmtCompletion::offering() const
{
    return popup_->isVisible();
}

bool GmtCompletion::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == popup_ && offering()) {
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
                if (const QModelIndex current = popup_->currentIndex(); current.isValid()) {
                    insert(current.siblingAtColumn(0).data().toString());
                    return true;
                }
                hide();
                return false;  // without a choice the key goes to the text
            case Qt::Key_Escape:
                hide();
                return true;
            default:
                break;
        }
    }
    if (!key->text().isEmpty() || key->key() == Qt::Key_Backspace) typing_ = true;
    return QObject::eventFilter(watched, event);
}

void GmtCompletion::update()
{
    waitingFor_.clear();
    const QTextCursor cursor = box_->textCursor();
    if (!modules_ || cursor.hasSelection()) return hide();
    const CompletionContext context = completion_context(textBeforeCaret(cursor).toStdString());
    if (context.kind == CompletionKind::none) return hide();
    if (modules_->state() != GmtModules::State::ready) {
        // GMT is looked for once here; F1 looks again after it was not found.
        if (modules_->state() == GmtModules::State::unread) modules_->load();
        if (modules_->state() == GmtModules::State::reading) waitingFor_ = kModules;
        return hide();
    }
    const QString prefix = QString::fromStdString(context.prefix);
    if (context.kind == CompletionKind::module) {
        if (prefix.size() < 2) return hide();
        fillModules();
        completer_->setCaseSensitivity(Qt::CaseInsensitive);
    } else {
        const QString module = QString::fromStdString(context.module);
        if (!modules_->find(module) || !fillOptions(module)) return hide();
        completer_->setCaseSensitivity(Qt::CaseSensitive);
    }
    completer_->setCompletionPrefix(prefix);
    const int count = completer_->completionCount();
    if (count == 0 || (count == 1 && completer_->currentCompletion() == prefix)) return hide();
    prefixLength_ = prefix.size();
    popup_->resizeColumnToContents(0);
    popup_->resizeColumnToContents(1);
    QRect place = box_->cursorRect();
    place.setWidth(std::min(popup_->columnWidth(0) + popup_->columnWidth(1) +
                                popup_->verticalScrollBar()->sizeHint().width() + 2 * popup_->frameWidth(),
                            640));
    completer_->complete(place);
    // The completer's height leaves room below the last whole row, where the
    // top of the next one shows cut off: as high as the rows it shows, no more.
    const int rows = std::min(completer_->maxVisibleItems(), count);
    const int height = rows * popup_->sizeHintForRow(0) + 2 * popup_->frameWidth();
    QRect shown = popup_->geometry();
    if (shown.bottom() < box_->viewport()->mapToGlobal(place.topLeft()).y())
        shown.setTop(shown.bottom() + 1 - height);  // above the line: its bottom stays
    else
        shown.setHeight(height);
    popup_->setGeometry(shown);
    popup_->setColumnWidth(1, std::max(0, popup_->viewport()->width() - popup_->columnWidth(0)));
    popup_->setCurrentIndex(completer_->completionModel()->index(0, 0));
}

void GmtCompletion::fillModules()
{
    if (filled_ == kModules) return;
    model_->removeRows(0, model_->rowCount());
    for (const GmtModule& module : modules_->modules()) {
        model_->appendRow({new QStandardItem(QString::fromStdString(module.name)),
                           new QStandardItem(QString::fromStdString(module.purpose))});
    }
    filled_ = kModules;
}

bool GmtCompletion::fillOptions(const QString& module)
{
    if (filled_ == module) return true;
    const GmtModules::Usage* read = modules_->usage(module);
    if (!read) {
        if (modules_->state() == GmtModules::State::ready) waitingFor_ = module;
        return false;
    }
    if (!read->usage) return false;
    model_->removeRows(0, model_->rowCount());
    for (const GmtOption& option : read->usage->options) {
        model_->appendRow({new QStandardItem(QString::fromStdString(option.flag)),
                           new QStandardItem(QString::fromStdString(option.text))});
    }
    filled_ = module;
    return true;
}

void GmtCompletion::insert(const QString& completion)
{
    hide();
    QTextCursor cursor = box_->textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor,
                        std::min(prefixLength_, cursor.positionInBlock()));
    cursor.insertText(completion);
    box_->setTextCursor(cursor);
}

void GmtCompletion::hide()
{
    if (popup_->isVisible()) popup_->hide();
}

}  // namespace mq::app
