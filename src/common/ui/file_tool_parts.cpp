#include "common/ui/file_tool_parts.h"

#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>

namespace mq::tools {

QLineEdit* makeBox(const QString& name, const QString& text, QWidget* parent, calc::ui::KeyFilter::Accept accept)
{
    auto* box = named(new QLineEdit(text, parent), name);
    if (accept) calc::ui::KeyFilter::install(box, std::move(accept));
    return box;
}

QPushButton* makeFileButton(const QString& name, const QIcon& picture, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(picture);
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(32, 28);
    return button;
}

QGridLayout* makeFileRows(QLabel* inLabel, QLineEdit* inBox, QWidget* inButton, QLabel* outLabel,
                          QLineEdit* outBox, QWidget* outButton)
{
    auto* files = new QGridLayout;
    files->addWidget(inLabel, 0, 0, 1, 2);
    files->addWidget(inBox, 1, 0);
    files->addWidget(inButton, 1, 1);
    files->addWidget(outLabel, 2, 0, 1, 2);
    files->addWidget(outBox, 3, 0);
    files->addWidget(outButton, 3, 1);
    return files;
}

QString pickFile(const ToolContext& context, QLineEdit* box)
{
    if (!context.openFileDialog) return {};
    const QString path = context.openFileDialog();
    if (!path.isEmpty()) box->setText(path);
    return path;
}

void showMessage(platform::MessageBoxes* messages, const QString& text, platform::MessageIcon icon,
                 const QString& title)
{
    if (messages) messages->show(text, platform::MessageButtons::Ok, icon, title);
}

void showErrorBox(platform::MessageBoxes* messages, const Error& error, const QString& title)
{
    showMessage(messages, QString::fromStdString(error_box_text(error)), platform::MessageIcon::None, title);
}

QProgressBar* makeRunBar(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("progressBar"));
    bar->setRange(0, 1000);
    bar->setTextVisible(false);
    bar->setMaximumHeight(12);
    QSizePolicy policy = bar->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    bar->setSizePolicy(policy);
    bar->hide();
    return bar;
}

void showShare(QProgressBar* bar, const Progress& p)
{
    if (bar && p.total > 0) bar->setValue(static_cast<int>(p.done * 1000 / p.total));
}

void showRowProgress(QLabel* label, QProgressBar* bar, const Progress& p)
{
    label->setText("Row #: " + QString::number(p.count));
    showShare(bar, p);
}

void showKept(QLabel* label, const std::string& note, const QString& otherwise, const std::string& output)
{
    QString text = QString::fromStdString(note);
    label->setToolTip(text);
    const QString path = QDir::toNativeSeparators(QString::fromStdString(output));   // as the note has it
    const qsizetype folder = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
    if (folder > 0) text.replace(path.left(folder), QString());
    label->setWordWrap(!note.empty());
    label->setText(note.empty() ? otherwise : text);
}

void showLineProgress(QLabel* label, QProgressBar* bar, const Progress& p)
{
    if (p.count >= 1000) label->setText("Line #:  " + QString::number(p.count / 1000) + "000");
    showShare(bar, p);
}

void PathDrag::attach(QLineEdit* box)
{
    box->setDragEnabled(true);
    box->setAcceptDrops(true);
    box->installEventFilter(this);
}

void PathDrag::dropText(QLineEdit* box, const QString& text)
{
    dragData_ = text;
    box->insert(dragData_);   // replaces the selection
}

bool PathDrag::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!drag->mimeData()->hasText()) return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasText()) return false;
        dropText(box, drop->mimeData()->text());
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mq::tools
