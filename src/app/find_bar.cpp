#include "app/find_bar.h"

#include "app/frmeditor.h"
#include "app/mdiform1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

namespace mq::app {

namespace {

// How long a note stays in the status bar, in milliseconds.
constexpr int kNoteTime = 6000;

}  // namespace

FindBar::FindBar(MDIForm1& main, QWidget* parent) : QWidget(parent), main_(main)
{
    setObjectName(QStringLiteral("findBar"));
    findBox = new QLineEdit(this);
    findBox->setObjectName(QStringLiteral("findBox"));
    findBox->setClearButtonEnabled(true);
    replaceBox = new QLineEdit(this);
    replaceBox->setObjectName(QStringLiteral("replaceBox"));
    matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    wholeWord = new QCheckBox(QStringLiteral("&Whole word"), this);
    regularExpression = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
    auto* next = new QPushButton(QStringLiteral("&Next"), this);
    auto* previous = new QPushButton(QStringLiteral("&Previous"), this);
    replaceButton_ = new QPushButton(QStringLiteral("&Replace"), this);
    replaceAllButton_ = new QPushButton(QStringLiteral("Replace &All"), this);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("\u2715"));
    close->setToolTip(QStringLiteral("Close the find bar (Esc)"));
    close->setAutoRaise(true);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("findNote"));

    auto* findLabel = new QLabel(QStringLiteral("Find:"), this);
    findLabel->setBuddy(findBox);
    replaceLabel_ = new QLabel(QStringLiteral("Replace with:"), this);
    replaceLabel_->setBuddy(replaceBox);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findBox, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    auto* checks = new QHBoxLayout;
    checks->addWidget(matchCase);
    checks->addWidget(wholeWord);
    checks->addWidget(regularExpression);
    checks->addStretch(1);
    grid->addLayout(checks, 0, 4);
    grid->addWidget(close, 0, 5, Qt::AlignRight);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replaceBox, 1, 1);
    grid->addWidget(replaceButton_, 1, 2);
    grid->addWidget(replaceAllButton_, 1, 3);
    grid->addWidget(note_, 1, 4, 1, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(4, 1);
    findBox->setMinimumWidth(220);

    connect(next, &QPushButton::clicked, this, &FindBar::findNext);
    connect(previous, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(findBox, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindBar::replaceOne);
    connect(replaceBox, &QLineEdit::returnPressed, this, &FindBar::replaceOne);
    connect(replaceAllButton_, &QPushButton::clicked, this, &FindBar::replaceAllMatches);
    connect(close, &QToolButton::clicked, this, &FindBar::closeRequested);
    statusNote_ = new QLabel(main.statusBar());
    statusNote_->setObjectName(QStringLiteral("findStatusNote"));
    statusNote_->setContentsMargins(4, 0, 8, 0);
    main.statusBar()->addWidget(statusNote_);
    statusNote_->hide();
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(kNoteTime);
    connect(noteTimer_, &QTimer::timeout, statusNote_, &QWidget::hide);
    setReplacing(false);
}

void FindBar::setReplacing(bool replacing)
{
    for (QWidget* w : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replaceBox),
                       static_cast<QWidget*>(replaceButton_), static_cast<QWidget*>(replaceAllButton_)})
        w->setVisible(replacing);
}

void FindBar::start(bool replacing)
{
    setReplacing(replacing);
    // A selection within one line is what the user wants to find.
    if (frmEditor* editor = main_.activeEditor()) {
        const QString selected = editor->Text1->textCursor().selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar(0x2029))) findBox->setText(selected);
    }
    note_->clear();
    findBox->setFocus();
    findBox->selectAll();
}

SearchOptions FindBar::options() const
{
    return {matchCase->isChecked(), wholeWord->isChecked(), regularExpression->isChecked()};
}

QString FindBar::note() const { return note_->text(); }

void FindBar::showNote(const QString& text)
{
    note_->setText(text);
    // The status bar's own panels fill it, so the note comes in a panel of
    // its own on the left for a while.
    statusNote_->setText(text);
    statusNote_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) noteTimer_->start();
}

QString FindBar::statusNote() const { return statusNote_->isVisibleTo(&main_) ? statusNote_->text() : QString(); }

std::optional<QRegularExpression> FindBar::expression()
{
    const QRegularExpression expression = searchExpression(findBox->text(), options());
    if (!expression.isValid()) {
        showNote(QStringLiteral("The regular expression is not valid: ") + expression.errorString() +
                 QLatin1Char('.'));
        return std::nullopt;
    }
    return expression;
}

bool FindBar::find(bool backward)
{
    frmEditor* editor = main_.activeEditor();
    if (!editor || findBox->text().isEmpty()) return false;
    const auto pattern = expression();
    if (!pattern) return false;
    const FindResult result = findText(*editor->Text1->document(), editor->Text1->textCursor(), *pattern, backward);
    if (!result.found()) {
        showNote(QStringLiteral("\"%1\" was not found.").arg(findBox->text()));
        return false;
    }
    editor->Text1->setTextCursor(result.match);
    showNote(!result.wrapped ? QString()
             : backward      ? QStringLiteral("Passed the beginning: searching on from the end.")
                             : QStringLiteral("Passed the end: searching on from the beginning."));
    return true;
}

bool FindBar::findNext() { return find(false); }
bool FindBar::findPrevious() { return find(true); }

bool FindBar::replaceOne()
{
    frmEditor* editor = main_.activeEditor();
    if (!editor || findBox->text().isEmpty()) return false;
    const auto pattern = expression();
    if (!pattern) return false;
    QTextCursor selection = editor->Text1->textCursor();
    const bool replaced = replaceSelection(selection, *pattern, replaceBox->text(), options().regularExpression);
    if (replaced) editor->Text1->setTextCursor(selection);
    // On to the next match either way.
    find(false);
    return replaced;
}

int FindBar::replaceAllMatches()
{
    frmEditor* editor = main_.activeEditor();
    if (!editor || findBox->text().isEmpty()) return 0;
    const auto pattern = expression();
    if (!pattern) return 0;
    const int count =
        replaceAll(*editor->Text1->document(), *pattern, replaceBox->text(), options().regularExpression);
    showNote(count == 0   ? QStringLiteral("\"%1\" was not found.").arg(findBox->text())
             : count == 1 ? QStringLiteral("Replaced 1 occurrence.")
                          : QStringLiteral("Replaced %1 occurrences.").arg(count));
    return count;
}

}  // namespace mq::app
