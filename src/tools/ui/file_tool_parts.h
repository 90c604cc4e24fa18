// Small pieces the file-tool windows share: the picture button that picks a
// file, the error box, and text dragged between a window's two path boxes.
#pragma once

#include "common/result.h"
#include "platform/platform.h"

#include <QObject>
#include <QString>

class QIcon;
class QLineEdit;
class QPushButton;
class QWidget;

namespace mq::tools {

QPushButton* makeFileButton(const QString& name, const QIcon& picture, QWidget* parent);

// The error box of the file tools: its number, two blanks and what went
// wrong, with an OK button.
void showErrorBox(platform::MessageBoxes* messages, const Error& error, const QString& title);

// Dragging text between path boxes: a drop replaces the target box's
// selection with the dragged text and leaves the box it came from as it was.
// The last dropped text is kept in `dragData()`.
class PathDrag : public QObject {
    Q_OBJECT
public:
    explicit PathDrag(QObject* parent) : QObject(parent) {}
    void attach(QLineEdit* box);
    const QString& dragData() const { return dragData_; }
    // What a drop onto `box` does.
    void dropText(QLineEdit* box, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString dragData_;
};

}  // namespace mq::tools
