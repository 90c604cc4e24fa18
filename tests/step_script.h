// Window cases as steps, one case a line, steps separated by " ; ": "VERB WORDS..." for the suite
// to act on, or "show ITEM... => EXPECTED": what the items show, joined by "|". The data file's
// head lists the suite's verbs and items.
#pragma once

#include "platform/test_files.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <functional>

namespace mq::testing {

// "\r", "\n", "\t", "\b" (Backspace), "\s" (a blank) and "\\"; "<N x C>" is N times the character C.
inline QString unescape_step(QString text)
{
    static const QRegularExpression repeated("<([0-9]+) x (.)>");
    for (auto m = repeated.match(text); m.hasMatch(); m = repeated.match(text))
        text.replace(m.capturedStart(), m.capturedLength(), QString(m.captured(1).toInt(), m.captured(2)[0]));
    static const QString from = "rntbs\\", to = "\r\n\t\b \\";
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\\' && from.contains(text[i + 1])) text.replace(i, 2, to[from.indexOf(text[i + 1])]);
    return text;
}

struct Step {
    QString verb;
    QStringList words;   // after the verb, as written
    QString word(qsizetype i) const { return words.value(i); }
    QString text(qsizetype from = 0) const { return unescape_step(words.mid(from).join(' ')); }
};

// Runs the cases of the file: each begins with `start`; `act` takes each step but "show".
inline void run_steps(const QString& path, const std::function<void()>& start,
                      const std::function<void(const Step&)>& act,
                      const std::function<QString(const QString&)>& show)
{
    const QStringList lines = QString::fromUtf8(read_file(path)).split('\n');
    for (qsizetype at = 0; at < lines.size(); ++at) {
        if (lines[at].isEmpty() || lines[at].startsWith('#')) continue;
        start();
        for (const QString& step : lines[at].split(" ; ")) {
            QStringList got, words = step.split(' ');
            if (words[0] != "show") act({words[0], words.mid(1)});
            if (QTest::currentTestFailed()) return;
            if (words[0] != "show") continue;
            for (const QString& item : step.section("=>", 0, 0).simplified().split(' ').mid(1))
                got << show(item);
            const QString where = QString("line %1: ").arg(at + 1);
            // Paths as Linux writes them, on both sides alike.
            const auto slashes = [&](QString s) {
                return where + (QDir::separator() == '/' ? s : s.replace('\\', '/'));
            };
            QCOMPARE(slashes(got.join('|')), slashes(unescape_step(step.section("=>", 1).mid(1))));
        }
    }
}

}  // namespace mq::testing
