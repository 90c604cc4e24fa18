#include "app/core/syntax_rules.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace mq::app {

namespace {

using View = std::u16string_view;

char16_t lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }
bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isWordChar(char16_t c) { return isLetter(c) || isDigit(c) || c == u'_'; }

bool equalsIgnoringCase(View a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != char16_t(b[i])) return false;
    return true;
}

template <size_t N>
bool inList(View word, const std::string_view (&list)[N])
{
    return std::any_of(std::begin(list), std::end(list), [&](std::string_view w) { return equalsIgnoringCase(word, w); });
}

// The modules the template catalogue writes, and the other common ones.
constexpr std::string_view kModules[] = {
    "gmt", "blockmean", "blockmedian", "blockmode", "surface", "triangulate", "nearneighbor", "greenspline",
    "grdcut", "grdsample", "grd2xyz", "xyz2grd", "grdtrack", "grdmath", "gmtmath", "sample1d", "filter1d",
    "grdfilter", "grdclip", "grdgradient", "grdhisteq", "grdlandmask", "grdmask", "grdinfo", "grdedit",
    "grdproject", "grdreformat", "grdconvert", "grdblend", "grdpaste", "grdvolume", "grdvector", "grd2cpt",
    "grdimage", "grdcontour", "grdview", "makecpt", "psscale", "pscoast", "pstext", "psxy", "psxyz",
    "psbasemap", "psclip", "psmask", "pshistogram", "psrose", "pswiggle", "pscontour", "pslegend", "psimage",
    "pssolar", "psconvert", "ps2raster", "gmtconvert", "gmtset", "gmtdefaults", "gmtinfo", "minmax",
    "gmtselect", "gmtsimplify", "gmtspatial", "gmtvector", "mapproject", "project", "splitxyz", "fitcircle",
    "trend1d", "trend2d", "spectrum1d", "img2grd",
};

constexpr std::string_view kBatchKeywords[] = {
    "set", "if", "else", "for", "in", "do", "goto", "call", "exit", "not", "exist", "defined",
    "errorlevel", "setlocal", "endlocal", "shift", "pause", "cd",
};

constexpr std::string_view kAwkKeywords[] = {
    "BEGIN", "END", "print", "printf", "if", "else", "while", "for", "do", "break", "continue", "next",
    "exit", "function", "return", "getline", "in", "delete", "NR", "NF", "FS", "OFS", "RS", "ORS",
    "FILENAME", "FNR", "nextfile",
};

bool isAwkKeyword(View word)
{
    // awk is case-sensitive.
    return std::any_of(std::begin(kAwkKeywords), std::end(kAwkKeywords), [&](std::string_view w) {
        return word.size() == w.size() && std::equal(word.begin(), word.end(), w.begin(),
                                                     [](char16_t a, char b) { return a == char16_t(b); });
    });
}

struct Builder {
    std::vector<Span> spans;
    void add(size_t start, size_t length, SpanKind kind)
    {
        if (length == 0) return;
        if (!spans.empty() && spans.back().kind == kind &&
            size_t(spans.back().start + spans.back().length) == start) {
            spans.back().length += int(length);
            return;
        }
        spans.push_back({int(start), int(length), kind});
    }
};

// A batch variable starting at `at` ('%'): its length, or 0.
size_t batchVariableLength(View line, size_t at)
{
    const size_t n = line.size();
    if (at + 1 >= n) return 0;
    const char16_t next = line[at + 1];
    if (next == u'%') {                                                          // %%i, %%~ni
        if (at + 2 < n && line[at + 2] == u'~') {
            size_t end = at + 3;
            while (end < n && isLetter(line[end])) ++end;
            return end > at + 3 ? end - at : 0;
        }
        return (at + 2 < n && isLetter(line[at + 2])) ? 3 : 0;
    }
    if (isDigit(next) || next == u'*') return 2;                                 // %1, %*
    if (next == u'~') {                                                          // %~dp0, %~nx1
        size_t end = at + 2;
        while (end < n && isLetter(line[end])) ++end;
        return (end < n && isDigit(line[end])) ? end + 1 - at : 0;
    }
    for (size_t end = at + 1; end < n; ++end) {                                  // %name%, %name:~0,3%
        if (line[end] == u'%') return end > at + 1 ? end + 1 - at : 0;
        if (isBlank(line[end]) || line[end] == u'"') return 0;
    }
    return 0;
}

bool isRedirectionChar(char16_t c) { return c == u'>' || c == u'<' || c == u'|' || c == u'&'; }

void classifyBatch(View line, Builder& out)
{
    const size_t n = line.size();
    size_t i = 0;
    bool commandPosition = true;   // the next word is a command
    bool afterGoto = false;
    bool echoText = false;         // inside the text of an echo
    bool quoted = false;
    size_t quoteStart = 0;

    auto skipBlanks = [&] {
        while (i < n && (isBlank(line[i]) || (commandPosition && line[i] == u'@'))) ++i;
    };
    skipBlanks();
    // Whole-line comments and labels.
    if (i + 1 < n && line[i] == u':' && line[i + 1] == u':') return out.add(i, n - i, SpanKind::Comment);
    if (i < n && line[i] == u':') return out.add(i, n - i, SpanKind::Label);

    while (i < n) {
        const char16_t c = line[i];
        if (c == u'%') {
            if (const size_t length = batchVariableLength(line, i)) {
                if (quoted) out.add(quoteStart, i - quoteStart, SpanKind::String);
                out.add(i, length, SpanKind::Variable);
                i += length;
                if (quoted) quoteStart = i;
                commandPosition = false;
                continue;
            }
        }
        if (quoted) {
            if (c == u'"') {
                out.add(quoteStart, i + 1 - quoteStart, SpanKind::String);
                quoted = false;
            }
            ++i;
            continue;
        }
        if (isRedirectionChar(c) || (isDigit(c) && i + 1 < n && line[i + 1] == u'>' && (i == 0 || isBlank(line[i - 1])))) {
            size_t end = i + 1;
            while (end < n && isRedirectionChar(line[end])) ++end;
            out.add(i, end - i, SpanKind::Redirection);
            // After a pipe or a command separator a new command begins.
            const bool separator = line[end - 1] == u'|' || line[end - 1] == u'&';
            if (separator && line[i] != u'2' && !(end >= 2 && line[end - 2] == u'>')) commandPosition = true;
            echoText = false;
            i = end;
            continue;
        }
        if (echoText) {
            size_t end = i;
            while (end < n && line[end] != u'%' && !isRedirectionChar(line[end])) ++end;
            if (end == i) ++end;
            out.add(i, end - i, SpanKind::EchoText);
            i = end;
            continue;
        }
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (c == u'@' && commandPosition) {
            ++i;
            continue;
        }
        if (c == u'"') {
            quoted = true;
            quoteStart = i++;
            commandPosition = false;
            continue;
        }
        if (c == u'(' || c == u')') {
            commandPosition = c == u'(';
            ++i;
            continue;
        }
        // A word: up to a blank, a quote, a bracket, a redirection or a variable.
        size_t end = i;
        while (end < n && !isBlank(line[end]) && line[end] != u'"' && line[end] != u'(' && line[end] != u')' &&
               !isRedirectionChar(line[end]) && line[end] != u'%')
            ++end;
        if (end == i) ++end;   // a lone '%' is a character like any other
        const View word = line.substr(i, end - i);
        const bool wordStart = i == 0 || isBlank(line[i - 1]) || line[i - 1] == u'(' || line[i - 1] == u'@';
        if (afterGoto) {
            out.add(i, word.size(), SpanKind::Label);
            afterGoto = false;
        } else if (wordStart && (equalsIgnoringCase(word, "rem"))) {
            if (commandPosition) return out.add(i, n - i, SpanKind::Comment);
        } else if (wordStart && (equalsIgnoringCase(word, "echo") || equalsIgnoringCase(word, "echo."))) {
            out.add(i, word.size(), SpanKind::Keyword);
            echoText = true;
        } else if (wordStart && inList(word, kBatchKeywords)) {
            out.add(i, word.size(), SpanKind::Keyword);
            afterGoto = equalsIgnoringCase(word, "goto") || equalsIgnoringCase(word, "call");
            if (afterGoto && !(end + 1 < n && line[end + 1] == u':') && equalsIgnoringCase(word, "call")) afterGoto = false;
            // "if exist x echo ..." and "do echo ...": the command comes later.
            commandPosition = !equalsIgnoringCase(word, "set");
            i = end;
            continue;
        } else if (wordStart && isGmtModule(word)) {
            out.add(i, word.size(), SpanKind::Module);
        } else if (wordStart && word.size() >= 2 && word[0] == u'-' && isLetter(word[1])) {
            out.add(i, 2, SpanKind::Option);
        }
        commandPosition = false;
        i = end;
    }
    if (quoted) out.add(quoteStart, n - quoteStart, SpanKind::String);
}

size_t numberLength(View line, size_t at)
{
    const size_t n = line.size();
    size_t end = at;
    if (end < n && (line[end] == u'-' || line[end] == u'+')) ++end;
    bool digits = false;
    for (; end < n && (isDigit(line[end]) || line[end] == u'.'); ++end)
        if (isDigit(line[end])) digits = true;
    if (!digits) return 0;
    if (end + 1 < n && (line[end] == u'e' || line[end] == u'E') &&
        (isDigit(line[end + 1]) || ((line[end + 1] == u'-' || line[end + 1] == u'+') && end + 2 < n && isDigit(line[end + 2])))) {
        end += 2;
        while (end < n && isDigit(line[end])) ++end;
    }
    return end - at;
}

void classifyAwk(View line, Builder& out)
{
    const size_t n = line.size();
    size_t i = 0;
    while (i < n) {
        const char16_t c = line[i];
        if (c == u'#') return out.add(i, n - i, SpanKind::Comment);
        if (c == u'"') {
            size_t end = i + 1;
            while (end < n && line[end] != u'"') end += (line[end] == u'\\' && end + 1 < n) ? 2 : 1;
            end = std::min(n, end + 1);
            out.add(i, end - i, SpanKind::String);
            i = end;
            continue;
        }
        if (c == u'$') {
            size_t end = i + 1;
            while (end < n && isWordChar(line[end])) ++end;
            out.add(i, end - i, SpanKind::Variable);
            i = end;
            continue;
        }
        if (isWordChar(c)) {
            size_t end = i;
            while (end < n && isWordChar(line[end])) ++end;
            if (end == i) ++end;   // a lone '%' is a character like any other
        const View word = line.substr(i, end - i);
            if (isAwkKeyword(word)) out.add(i, word.size(), SpanKind::Keyword);
            else if (isDigit(c) && numberLength(line, i) == word.size()) out.add(i, word.size(), SpanKind::Number);
            i = end;
            continue;
        }
        ++i;
    }
}

void classifyColorTable(View line, Builder& out)
{
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && isBlank(line[i])) ++i;
    if (i < n && line[i] == u'#') return out.add(i, n - i, SpanKind::Comment);
    if (i < n && (line[i] == u'B' || line[i] == u'F' || line[i] == u'N') && (i + 1 == n || isBlank(line[i + 1]))) {
        out.add(i, 1, SpanKind::Special);
        ++i;
    }
    while (i < n) {
        const bool boundary = i == 0 || isBlank(line[i - 1]) || line[i - 1] == u'/';
        const size_t length = boundary ? numberLength(line, i) : 0;
        const size_t end = i + length;
        if (length && (end == n || isBlank(line[end]) || line[end] == u'/')) {
            out.add(i, length, SpanKind::Number);
            i = end;
            continue;
        }
        ++i;
    }
}

}  // namespace

bool isGmtModule(std::u16string_view word) { return inList(word, kModules); }

FileKind fileKindFor(std::u16string_view path)
{
    const size_t slash = path.find_last_of(u"/\\");
    const View name = slash == View::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(u'.');
    if (dot == View::npos) return (slash == View::npos && !name.empty()) ? FileKind::Batch : FileKind::Plain;
    const View extension = name.substr(dot + 1);
    if (equalsIgnoringCase(extension, "bat") || equalsIgnoringCase(extension, "cmd")) return FileKind::Batch;
    if (equalsIgnoringCase(extension, "awk")) return FileKind::Awk;
    if (equalsIgnoringCase(extension, "cpt")) return FileKind::ColorTable;
    return FileKind::Plain;
}

std::vector<Span> classifyLine(FileKind kind, std::u16string_view line)
{
    Builder out;
    switch (kind) {
    case FileKind::Batch: classifyBatch(line, out); break;
    case FileKind::Awk: classifyAwk(line, out); break;
    case FileKind::ColorTable: classifyColorTable(line, out); break;
    case FileKind::Plain: break;
    }
    return std::move(out.spans);
}

}  // namespace mq::app
