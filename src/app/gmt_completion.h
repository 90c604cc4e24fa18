// Completion of GMT module names and options in a script's text box. Typing
// the start of a module name where a command starts offers GMT's modules
// with their purposes; typing "-" after a command's module offers that
// module's options with their one-line texts. The lists come from
// GmtModules; with no GMT nothing is offered.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QCompleter;
class QPlainTextEdit;
class QStandardItemModel;
class QTreeView;

namespace mq::app {

class GmtModules;

class GmtCompletion : public QObject {
    Q_OBJECT
public:
    // Attaches to `box` and lives as long as it does.
    GmtCompletion(QPlainTextEdit* box, GmtModules& modules);

    QCompleter* completer() const { return completer_; }
    bool offering() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Offers what fits the word before the caret, or hides the list.
    void update();
    void fillModules();
    bool fillOptions(const QString& module);
    void insert(const QString& completion);
    void hide();

    QPlainTextEdit* box_;
    QPointer<GmtModules> modules_;
    QCompleter* completer_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QTreeView* popup_ = nullptr;
    QString filled_;        // what the model holds: "" (nothing), "*" (modules) or a module's name
    QString waitingFor_;    // the list or usage being read for the word at the caret
    int prefixLength_ = 0;  // characters of the word being completed
    bool typing_ = false;   // a key went in since the last change of the text
};

}  // namespace mq::app
