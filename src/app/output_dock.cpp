#include "app/output_dock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

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
    row->addWidget(status_, 1);
    row->addWidget(stop_);
    column->addLayout(row);
    setWidget(body);

    // Output that comes fast is shown a few times a second, in one go.
    flushTimer_ = new QTimer(this);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(100);
    connect(flushTimer_, &QTimer::timeout, this, &OutputDock::flush);
    connect(stop_, &QPushButton::clicked, this, &OutputDock::stopClicked);
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
    auto* item = new QListWidgetItem(
        message.line > 0 ? QStringLiteral("Line %1: %2").arg(message.line).arg(text) : text);
    const QStyle::StandardPixmap icon = message.kind == MessageKind::error ? QStyle::SP_MessageBoxCritical
                                        : message.kind == MessageKind::warning
                                            ? QStyle::SP_MessageBoxWarning
                                            : QStyle::SP_MessageBoxInformation;
    item->setIcon(style()->standardIcon(icon));
    item->setToolTip(QDir::toNativeSeparators(QString::fromStdString(message.file)));
    list_->addItem(item);
}

void OutputDock::setMessages(const std::vector<LinkedMessage>& messages)
{
    messages_.clear();
    list_->clear();
    for (const LinkedMessage& message : messages) addMessage(message);
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
