#include "app/syntax_highlighter.h"

#include <QPlainTextEdit>

namespace mq::app {

ScriptHighlighter::ScriptHighlighter(QPlainTextEdit& editor)
    : QSyntaxHighlighter(static_cast<QObject*>(&editor)), editor_(editor)
{
    updateColors();
}

void ScriptHighlighter::configure(bool enabled, FileKind kind)
{
    const bool active = enabled && kind != FileKind::Plain;
    if (active == active_ && kind == kind_) return;
    kind_ = kind;
    active_ = active;
    if (!active) {
        setDocument(nullptr);   // removes the colours
    } else if (document() != editor_.document()) {
        setDocument(editor_.document());
    } else {
        rehighlight();
    }
}

void ScriptHighlighter::updateColors()
{
    // Two sets of colours: for light and for dark backgrounds.
    const bool dark = editor_.palette().color(QPalette::Base).lightnessF() < 0.5;
    struct Style {
        QRgb light, dark;
        bool bold, italic;
    };
    static const Style styles[] = {
        {0x2e7d32, 0x8fd18f, false, true},    // comment
        {0x1a4fbf, 0x8ab4ff, true, false},    // keyword
        {0x7a4a00, 0xe6c07b, false, false},   // echo text
        {0x9c1f8c, 0xf08ce8, false, false},   // variable
        {0xa3360b, 0xffa070, true, false},    // label
        {0x00609c, 0x6fd3ff, true, false},    // module
        {0xb0005a, 0xff7fb0, false, false},   // option
        {0x5a5a5a, 0xc0c0c0, true, false},    // redirection
        {0x8b5a00, 0xdcc690, false, false},   // string
        {0x0b6e6e, 0x7fe0d0, false, false},   // number
        {0x1a4fbf, 0x8ab4ff, true, false},    // colour-table B, F, N
    };
    for (size_t i = 0; i < formats_.size(); ++i) {
        QTextCharFormat format;
        format.setForeground(QColor(dark ? styles[i].dark : styles[i].light));
        if (styles[i].bold) format.setFontWeight(QFont::Bold);
        if (styles[i].italic) format.setFontItalic(true);
        formats_[i] = format;
    }
    if (active_) rehighlight();
}

void ScriptHighlighter::highlightBlock(const QString& text)
{
    const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
    for (const Span& span : classifyLine(kind_, line)) setFormat(span.start, span.length, formats_[size_t(span.kind)]);
}

}  // namespace mq::app
