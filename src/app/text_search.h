// Finding, replacing and going to a line in a script document.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QTextCursor>

class QPlainTextEdit;
class QTextDocument;

namespace mq::app {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
};

// The pattern as an expression: literal text is escaped, a whole word is
// bounded by word breaks. An invalid expression reports its error.
QRegularExpression searchExpression(const QString& pattern, const SearchOptions& options);

struct FindResult {
    QTextCursor match;     // null when nothing matched
    bool wrapped = false;  // found only after going round the document's end
    bool found() const { return !match.isNull(); }
};

// The next (or previous) match after (before) `from`'s selection, going
// round the document's end once. Empty matches are skipped.
FindResult findText(QTextDocument& document, const QTextCursor& from, const QRegularExpression& expression,
                    bool backward);

// The text that replaces a match: "\1" ... "\9" stand for the captured
// groups and "\0" for the whole match when `expanded`; "\\" is one "\".
QString replacementFor(const QRegularExpressionMatch& match, const QString& replacement, bool expanded);

// Replaces every match as one undo step; returns how many it replaced.
// Matches are those of the text before the first replacement, empty ones
// included, so that "^" reaches the start of every line (but for the empty
// line after the last line end).
int replaceAll(QTextDocument& document, const QRegularExpression& expression, const QString& replacement,
               bool expanded);

// Replaces the selection when it is a match; false otherwise.
bool replaceSelection(QTextCursor& selection, const QRegularExpression& expression, const QString& replacement,
                      bool expanded);

// Puts the caret at the start of line `line` (1 for the first), kept within
// the document's lines; returns the line it went to.
int goToLine(QPlainTextEdit& editor, long long line);

}  // namespace mq::app
