#include "tools/ui/file_tool_parts.h"

#include "tools/error_number.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

namespace mq::tools {

QPushButton* makeFileButton(const QString& name, const QIcon& picture, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(picture);
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(32, 28);
    return button;
}

void showErrorBox(platform::MessageBoxes* messages, const Error& error, const QString& title)
{
    if (!messages) return;
    messages->show(QString::fromStdString(error_box_text(error)), platform::MessageButtons::Ok,
                   platform::MessageIcon::None, title);
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
