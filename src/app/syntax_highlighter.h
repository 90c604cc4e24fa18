// Colours the parts of a script as the line rules find them. Only formats
// for display: the text, its bytes and the modified state stay as they are.
#pragma once

#include "app/core/syntax_rules.h"

#include <QColor>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

class QPlainTextEdit;

namespace mq::app {

class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Longer lines stay plain: each coloured stretch is a piece the editor
    // lays out and draws on its own, and a line of a megabyte holds a
    // hundred thousand of them, which would make every key take seconds.
    static constexpr qsizetype kLongestColouredLine = 10000;

    explicit ScriptHighlighter(QPlainTextEdit& editor);

    FileKind fileKind() const { return kind_; }
    // Switches the colouring on or off and to the document's kind; only a
    // real change highlights the document again.
    void configure(bool enabled, FileKind kind);
    // Picks colours that read well on the editor's current background.
    void updateColors();

protected:
    void highlightBlock(const QString& text) override;

private:
    QPlainTextEdit& editor_;
    FileKind kind_ = FileKind::Plain;
    bool active_ = false;
    std::array<QTextCharFormat, 11> formats_;
};

}  // namespace mq::app
