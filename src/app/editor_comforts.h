// What the Edit menu adds to the editors beyond the basic commands: syntax
// highlighting, the find bar, Go to Line, and files dropped on the main
// window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QMimeData;
class QToolBar;

namespace mq::app {

class FindBar;
class MDIForm1;
class frmEditor;

class EditorComforts : public QObject {
    Q_OBJECT
public:
    // Made by the main window, which runs the commands below from its menu entries.
    explicit EditorComforts(MDIForm1& main);

    FindBar* findBar() const { return findBar_; }
    bool highlightingEnabled() const { return highlighting_; }
    void setHighlightingEnabled(bool enabled);

    void mn_find_Click();
    void mn_find_next_Click();
    void mn_find_previous_Click();
    void mn_replace_text_Click();
    void mn_go_to_line_Click();

    // The local files a drag carries; empty when it carries anything else.
    static QStringList droppedFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void attach(frmEditor* editor);
    void showFindBar(bool replacing);

    MDIForm1& main_;
    QToolBar* findArea_ = nullptr;
    FindBar* findBar_ = nullptr;
    QPointer<frmEditor> searchedEditor_;
    bool highlighting_ = true;
};

}  // namespace mq::app
