// Small pieces the file-tool windows share: named controls, the picture
// button that picks a file and the pick itself, the message and error boxes,
// the progress texts, and text dragged between a window's two path boxes.
#pragma once

#include "common/ui/key_filter.h"
#include "common/result.h"
#include "platform/platform.h"
#include "tools/runner.h"
#include "common/ui/tool_context.h"

#include <QObject>
#include <QString>

class QGridLayout;
class QIcon;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace mq::tools {

// The control with its object name set.
template <class W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// A text box that lets through only the keys `accept` takes (every key
// without one).
QLineEdit* makeBox(const QString& name, const QString& text, QWidget* parent,
                   calc::ui::KeyFilter::Accept accept = nullptr);

QPushButton* makeFileButton(const QString& name, const QIcon& picture, QWidget* parent);

// The input and output rows of a file window: each label above its path box
// with the picture button to the right.
QGridLayout* makeFileRows(QLabel* inLabel, QLineEdit* inBox, QWidget* inButton, QLabel* outLabel,
                          QLineEdit* outBox, QWidget* outButton);

// Shows the main window's shared open-file dialog; a chosen path goes into
// `box` and is returned (empty when cancelled or without a dialog).
QString pickFile(const ToolContext& context, QLineEdit* box);

// A message box with an OK button (nothing without message boxes).
void showMessage(platform::MessageBoxes* messages, const QString& text, platform::MessageIcon icon,
                 const QString& title);

// The error box of the file tools: its number, two blanks and what went
// wrong, with an OK button.
void showErrorBox(platform::MessageBoxes* messages, const Error& error, const QString& title);

// Progress shown by the file windows. The bar (when there is one) shows the
// share of the input read, 0 to 1000. "Row #: 1234" counts every record;
// "Line #:  2000" counts whole thousands from the first thousand on.
void showShare(QProgressBar* bar, const Progress& p);
// The thin bar of a run, 0 to 1000, hidden until a run starts; its place
// stays reserved while it is hidden, so a run does not make the window
// taller and move the controls.
QProgressBar* makeRunBar(QWidget* parent);
void showRowProgress(QLabel* label, QProgressBar* bar, const Progress& p);
// After a run that ended early: the note saying where the records of an
// existing `output` were kept (see io::OutputFile::keep_partial), or
// `otherwise` when there is none. The label names the files without their
// folder, the one the user picked (its tooltip holds the whole note), and
// wraps the text.
void showKept(QLabel* label, const std::string& note, const QString& otherwise, const std::string& output);
void showLineProgress(QLabel* label, QProgressBar* bar, const Progress& p);

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
