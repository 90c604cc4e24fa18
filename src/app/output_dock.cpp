#include "app/output_dock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace mq::app {

OutputDock::OutputDock(QWidget* parent) : QDockWidget(QStringLiteral("Output"), parent)
{
    setObjectName(QStringLiteral("OutputDock"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);

    auto* split = new QSplitter(Qt::Vertical, body);
    output_ = new QPlainTextEdit(split);
    output_->setObjectName(QStringLiteral("OutputText"));
    output_->setReadOnly(true);
    output_->setMaximumBlockCount(kKeptLines);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_ = new QListWidget(split);
    list_->setObjectName(QStringLiteral("MessageList"));
    list_->setIconSize(QSize(16, 16));
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 100});
    column->addWidget(split, 1);

    auto* row = new QHBoxLayout;
    status_ = new QLabel(body);
    status_->setObjectName(QStringLiteral("RunStatus"));
    status_->setTextFormat(Qt::PlainText);
    stop_ = new QPushButton(QStringLiteral("Stop"), body);
    stop_->setObjectName(QStringLiteral("StopRun"));
    stop_->setEnabled(false);
    mendAll_ = new QPushButton(QStringLiteral("Mend all"), body);
    mendAll_->setObjectName(QStringLiteral("MendAll"));
    mendAll_->hide();
    row->addWidget(status_, 1);
    row->addWidget(mendAll_);
    row->addWidget(stop_);
    column->addLayout(row);
    setWidget(body);

    // Output that comes fast is shown a few times a second, in one go.
    flushTimer_ = new QTimer(this);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(100);
    connect(flushTimer_, &QTimer::timeout, this, &OutputDock::flush);
    connect(stop_, &QPushButton::clicked, this, &OutputDock::stopClicked);
    connect(mendAll_, &QPushButton::clicked, this, &OutputDock::mendAllClicked);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = messageMenu(list_->row(list_->itemAt(at)));
        if (!menu) return;
        menu->exec(list_->viewport()->mapToGlobal(at));
        menu->deleteLater();
    });
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { choose(list_->row(item)); });
}

void OutputDock::clearRun()
{
    pending_.clear();
    output_->clear();
    setMessages({});
    setStatus({});
}

void OutputDock::appendLine(const QString& text, Shown shown)
{
    pending_.append({text, shown});
    // Lines beyond those kept would be cut at once (dropped in batches).
    if (pending_.size() > 2 * kKeptLines) pending_.remove(0, pending_.size() - kKeptLines);
    if (!flushTimer_->isActive()) flushTimer_->start();
}

void OutputDock::flush()
{
    if (pending_.isEmpty()) return;
    QTextCharFormat plain, error, note;
    error.setForeground(QColor(0xb0, 0x00, 0x00));
    note.setForeground(QColor(0x00, 0x40, 0xa0));
    note.setFontItalic(true);
    QTextCursor cursor(output_->document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    const bool empty = output_->document()->isEmpty();
    for (qsizetype i = 0; i < pending_.size(); ++i) {
        if (i > 0 || !empty) cursor.insertBlock();
        const auto& [text, shown] = pending_[i];
        cursor.insertText(text, shown == Shown::err ? error : shown == Shown::note ? note : plain);
    }
    cursor.endEditBlock();
    pending_.clear();
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

QString OutputDock::outputText()
{
    flush();
    return output_->toPlainText();
}

void OutputDock::setStatus(const QString& text) { status_->setText(text); }

QString OutputDock::status() const { return status_->text(); }

void OutputDock::setStopEnabled(bool enabled) { stop_->setEnabled(enabled); }

void OutputDock::addMessage(const LinkedMessage& message)
{
    messages_.push_back(message);
    const QString text = QString::fromStdString(message.text);
    QString place;
    if (message.line > 0 && message.column > 0)
        place = QStringLiteral("Line %1, column %2: ").arg(message.line).arg(message.column);
    else if (message.line > 0)
        place = QStringLiteral("Line %1: ").arg(message.line);
    auto* item = new QListWidgetItem(place + text);
    const QStyle::StandardPixmap icon = message.kind == MessageKind::error ? QStyle::SP_MessageBoxCritical
                                        : message.kind == MessageKind::warning
                                            ? QStyle::SP_MessageBoxWarning
                                            : QStyle::SP_MessageBoxInformation;
    item->setIcon(style()->standardIcon(icon));
    item->setToolTip(QDir::toNativeSeparators(QString::fromStdString(message.file)));
    list_->addItem(item);
}

void OutputDock::setMessages(const std::vector<LinkedMessage>& messages, const std::vector<bool>& mendable)
{
    messages_.clear();
    list_->clear();
    for (const LinkedMessage& message : messages) addMessage(message);
    mendable_ = mendable;
    mendable_.resize(messages_.size(), false);
    const bool any = std::find(mendable_.begin(), mendable_.end(), true) != mendable_.end();
    mendAll_->setVisible(any);
}

bool OutputDock::isMendable(int row) const
{
    return row >= 0 && size_t(row) < mendable_.size() && mendable_[size_t(row)];
}

QMenu* OutputDock::messageMenu(int row)
{
    if (!isMendable(row)) return nullptr;
    auto* menu = new QMenu(list_);
    menu->setObjectName(QStringLiteral("MessageMenu"));
    QAction* mend = menu->addAction(QStringLiteral("Mend"));
    connect(mend, &QAction::triggered, this, [this, row] {
        if (isMendable(row)) emit mendChosen(row);
    });
    return menu;
}

int OutputDock::currentMessage() const { return list_->currentRow(); }

bool OutputDock::chooseNext(int step)
{
    const int count = int(messages_.size());
    if (count == 0) return false;
    const int at = list_->currentRow();
    const int next = at < 0 ? (step > 0 ? 0 : count - 1) : ((at + step) % count + count) % count;
    choose(next);
    return true;
}

void OutputDock::choose(int row)
{
    if (row < 0 || row >= int(messages_.size())) return;
    list_->setCurrentRow(row);
    emit messageChosen(messages_[size_t(row)]);
}

}  // namespace mq::app
