// The "Output" dock: what a script run prints, as it comes, and a list of
// messages linked to script lines. A run fills both; other producers fill
// the message list alone.
#pragma once

#include "app/core/run_messages.h"

#include <QDockWidget>
#include <QList>
#include <QPair>
#include <QString>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace mq::app {

class OutputDock : public QDockWidget {
    Q_OBJECT
public:
    // How a piece of output is shown.
    enum class Shown { out, err, note };
    // The output keeps its last lines only, so long runs stay quick.
    static constexpr int kKeptLines = 5000;

    explicit OutputDock(QWidget* parent = nullptr);

    // Empties the output and the message list for a new run.
    void clearRun();
    void appendLine(const QString& text, Shown shown);
    // The status line under the output ("Running line 3: ...", the end).
    void setStatus(const QString& text);
    void setStopEnabled(bool enabled);

    const std::vector<LinkedMessage>& messages() const { return messages_; }
    void addMessage(const LinkedMessage& message);
    // Replaces the list, for producers other than a run. `mendable` marks,
    // row by row, the findings of a check that can be mended: while they are
    // listed the "Mend all" button shows and their context menu offers "Mend".
    void setMessages(const std::vector<LinkedMessage>& messages, const std::vector<bool>& mendable = {});
    bool isMendable(int row) const;
    // The context menu of a row; none when it offers nothing.
    QMenu* messageMenu(int row);
    // Chooses the next or previous message (wrapping round), as F8 and
    // Shift+F8 do; false when there is none.
    bool chooseNext(int step);
    int currentMessage() const;

    // The whole output shown, one '\n' per line (what is pending included).
    QString outputText();
    QPlainTextEdit* outputBox() const { return output_; }
    QListWidget* messageList() const { return list_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* mendAllButton() const { return mendAll_; }
    QString status() const;

signals:
    // A message was double-clicked or chosen with F8 / Shift+F8.
    void messageChosen(const mq::app::LinkedMessage& message);
    void stopClicked();
    void mendAllClicked();
    void mendChosen(int row);

private:
    void flush();
    void choose(int row);

    QPlainTextEdit* output_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* mendAll_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* flushTimer_ = nullptr;
    QList<QPair<QString, Shown>> pending_;
    std::vector<LinkedMessage> messages_;
    std::vector<bool> mendable_;
};

}  // namespace mq::app
