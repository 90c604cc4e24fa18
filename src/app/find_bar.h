// The find bar below the editors: find, find again either way, replace and
// replace all, with match case, whole word and regular expressions. It
// stays open while the user edits.
#pragma once

#include "app/text_search.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace mq::app {

class MDIForm1;

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(MDIForm1& main, QWidget* parent = nullptr);

    // Shows the bar with the find box focused; with replacing, the replace
    // box shows as well.
    void start(bool replacing);
    bool findNext();
    bool findPrevious();
    bool replaceOne();
    int replaceAllMatches();

    SearchOptions options() const;
    // The last note: wrapped round, not found, how many replaced.
    QString note() const;
    // The note as the status bar shows it; empty once it has gone.
    QString statusNote() const;

    QLineEdit* findBox = nullptr;
    QLineEdit* replaceBox = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QCheckBox* regularExpression = nullptr;

signals:
    void closeRequested();

private:
    bool find(bool backward);
    // The expression to search for; shows the error and gives nothing when
    // the expression is invalid.
    std::optional<QRegularExpression> expression();
    void showNote(const QString& text);
    void setReplacing(bool replacing);

    MDIForm1& main_;
    QLabel* replaceLabel_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
    QPushButton* replaceAllButton_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* statusNote_ = nullptr;
    QTimer* noteTimer_ = nullptr;
};

}  // namespace mq::app
