#include "common/ui/file_tool_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mq::tools {

FileToolWindow::FileToolWindow(const ToolContext& context, const QString& name, const QString& title,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context)
{
    setObjectName(name);
    setWindowTitle(title);
    bridge_ = new WorkerBridge(this);
    drag_ = new PathDrag(this);
    connect(bridge_, &WorkerBridge::progress, this, [this](const Progress& p) { progress(p); });
}

QLineEdit* FileToolWindow::makePathBox(const QString& name)
{
    auto* box = makeBox(name, QString(), this);
    drag_->attach(box);
    return box;
}

QPushButton* FileToolWindow::makePickButton(const QString& name, std::function<void()> pick)
{
    auto* button = makeFileButton(name, context_.filePicture, this);
    connect(button, &QPushButton::clicked, this, [pick = std::move(pick)] { pick(); });
    return button;
}

QPushButton* FileToolWindow::makeStartButton(const QString& name, const QString& caption)
{
    auto* button = named(new QPushButton(caption, this), name);
    connect(button, &QPushButton::clicked, this, [this] {
        if (!bridge_->running()) start();
    });
    return button;
}

QPushButton* FileToolWindow::makeStopButton(const QString& name)
{
    auto* button = named(new QPushButton(QStringLiteral("Stop"), this), name);
    connect(button, &QPushButton::clicked, bridge_, &WorkerBridge::stop);
    return button;
}

QLabel* FileToolWindow::makeProgressLabel(const QString& name, const QString& caption)
{
    progressLabel_ = named(new QLabel(caption, this), name);
    return progressLabel_;
}

QProgressBar* FileToolWindow::makeProgressBar()
{
    bar_ = makeRunBar(this);
    return bar_;
}

void FileToolWindow::showError(const Error& error) const
{
    showErrorBox(context_.services.messages, error, windowTitle());
}

void FileToolWindow::closeEvent(QCloseEvent* event)
{
    bridge_->stopAndWait();
    if (bar_) bar_->hide();
    QWidget::closeEvent(event);
}

}  // namespace mq::tools
