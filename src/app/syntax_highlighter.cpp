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
    // Two sets of colours: for light and for dark backgrounds. Colours only:
    // with bold or slanted stretches the editor measures the width of every
    // line again while one types in the widest, which on a script of 20 MB
    // made each key cost several milliseconds.
    const bool dark = editor_.palette().color(QPalette::Base).lightnessF() < 0.5;
    static const std::array<std::pair<QRgb, QRgb>, std::tuple_size_v<decltype(formats_)>> colours = {{
        {0x2e7d32, 0x8fd18f},   // comment
        {0x1a4fbf, 0x8ab4ff},   // keyword
        {0x7a4a00, 0xe6c07b},   // echo text
        {0x9c1f8c, 0xf08ce8},   // variable
        {0xa3360b, 0xffa070},   // label
        {0x00609c, 0x6fd3ff},   // module
        {0xb0005a, 0xff7fb0},   // option
        {0x5a5a5a, 0xc0c0c0},   // redirection
        {0x8b5a00, 0xdcc690},   // string
        {0x0b6e6e, 0x7fe0d0},   // number
        {0x1a4fbf, 0x8ab4ff},   // colour-table B, F, N
    }};
    for (size_t i = 0; i < formats_.size(); ++i) {
        formats_[i] = QTextCharFormat();
        formats_[i].setForeground(QColor(dark ? colours[i].second : colours[i].first));
    }
    if (active_) rehighlight();
}

void ScriptHighlighter::highlightBlock(const QString& text)
{
    if (text.size() > kLongestColouredLine) return;
    const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
    for (const Span& span : classifyLine(kind_, line)) setFormat(span.start, span.length, formats_[size_t(span.kind)]);
}

}  // namespace mq::app
