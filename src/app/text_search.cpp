#include "app/text_search.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <vector>

namespace mq::app {

namespace {

// The match of `expression` exactly at the selection of `cursor`.
QRegularExpressionMatch matchAt(const QTextCursor& cursor, const QRegularExpression& expression)
{
    const QTextBlock block = cursor.document()->findBlock(cursor.selectionStart());
    const int offset = cursor.selectionStart() - block.position();
    QRegularExpressionMatch match = expression.match(block.text(), offset, QRegularExpression::NormalMatch,
                                                     QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch() || match.capturedLength() != cursor.selectionEnd() - cursor.selectionStart()) return {};
    return match;
}

// One search step without going round; empty matches are stepped over.
QTextCursor findOnce(QTextDocument& document, QTextCursor from, const QRegularExpression& expression, bool backward)
{
    QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    // The document applies its own case rule to expressions.
    if (!(expression.patternOptions() & QRegularExpression::CaseInsensitiveOption))
        flags |= QTextDocument::FindCaseSensitively;
    for (;;) {
        QTextCursor found = document.find(expression, from, flags);
        if (found.isNull() || found.hasSelection()) return found;
        // An empty match: go on one character further.
        const int next = found.position() + (backward ? -1 : 1);
        if (next < 0 || next >= document.characterCount()) return {};
        from = QTextCursor(&document);
        from.setPosition(next);
    }
}

}  // namespace

QRegularExpression searchExpression(const QString& pattern, const SearchOptions& options)
{
    QString source = options.regularExpression ? pattern : QRegularExpression::escape(pattern);
    // A whole word has no letter, digit or "_" right before or after it; "\b"
    // would also demand one inside, so "-R" or "%grd_file%" could never match.
    if (options.wholeWord) source = QStringLiteral("(?<!\\w)(?:") + source + QStringLiteral(")(?!\\w)");
    QRegularExpression::PatternOptions patternOptions = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase) patternOptions |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(source, patternOptions);
}

FindResult findText(QTextDocument& document, const QTextCursor& from, const QRegularExpression& expression,
                    bool backward)
{
    if (!expression.isValid() || expression.pattern().isEmpty()) return {};
    QTextCursor start = from.isNull() ? QTextCursor(&document) : from;
    if (QTextCursor found = findOnce(document, start, expression, backward); !found.isNull()) return {found, false};
    QTextCursor other(&document);
    other.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    QTextCursor found = findOnce(document, other, expression, backward);
    if (found.isNull()) return {};
    return {found, true};
}

QString replacementFor(const QRegularExpressionMatch& match, const QString& replacement, bool expanded)
{
    if (!expanded) return replacement;
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c == QLatin1Char('\\') && i + 1 < replacement.size()) {
            const QChar next = replacement[i + 1];
            if (next.isDigit()) {
                out += match.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool replaceSelection(QTextCursor& selection, const QRegularExpression& expression, const QString& replacement,
                      bool expanded)
{
    if (!selection.hasSelection() || !expression.isValid()) return false;
    const QRegularExpressionMatch match = matchAt(selection, expression);
    if (!match.hasMatch()) return false;
    selection.insertText(replacementFor(match, replacement, expanded));
    return true;
}

int replaceAll(QTextDocument& document, const QRegularExpression& expression, const QString& replacement,
               bool expanded)
{
    if (!expression.isValid() || expression.pattern().isEmpty()) return 0;
    struct Hit {
        int start, end;
        QString text;
    };
    std::vector<Hit> hits;
    const QTextBlock last = document.lastBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        if (block == last && line.isEmpty() && block.blockNumber() > 0) break;
        qsizetype previousEnd = -1;
        for (auto it = expression.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            // As sed does: no empty match right where the one before ended.
            const bool empty = match.capturedLength() == 0;
            if (empty && match.capturedStart() == previousEnd) continue;
            previousEnd = match.capturedEnd();
            hits.push_back({block.position() + int(match.capturedStart()), block.position() + int(match.capturedEnd()),
                            replacementFor(match, replacement, expanded)});
        }
    }
    if (hits.empty()) return 0;
    // From the last to the first, so that the earlier positions stay where they were.
    QTextCursor step(&document);
    step.beginEditBlock();   // every replacement joins this one undo step
    for (auto hit = hits.rbegin(); hit != hits.rend(); ++hit) {
        QTextCursor cursor(&document);
        cursor.setPosition(hit->start);
        cursor.setPosition(hit->end, QTextCursor::KeepAnchor);
        cursor.insertText(hit->text);
    }
    step.endEditBlock();
    return int(hits.size());
}

int goToLine(QPlainTextEdit& editor, long long line)
{
    const int lines = editor.document()->blockCount();
    const int target = int(std::clamp<long long>(line, 1, lines));
    QTextCursor cursor(editor.document()->findBlockByNumber(target - 1));
    editor.setTextCursor(cursor);
    editor.centerCursor();
    return target;
}

}  // namespace mq::app
