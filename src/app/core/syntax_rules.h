// What the parts of a script line are, for colouring: comments, echo texts,
// variables, GMT module names, option letters and so on. Works on one line
// at a time, so the cost of a keystroke does not grow with the file.
#pragma once

#include <string_view>
#include <vector>

namespace mq::app {

enum class FileKind { Plain, Batch, Awk, ColorTable };

enum class SpanKind {
    Comment,      // REM and :: lines, awk and colour-table comments
    Keyword,      // set, if, for, goto ...; awk's keywords
    EchoText,     // the text an echo prints
    Variable,     // %name%, %%i, %1; awk's $n fields
    Label,        // :label lines and goto targets
    Module,       // GMT module names
    Option,       // -R, -J, -B ...
    Redirection,  // > >> < | &
    String,       // quoted texts
    Number,       // colour-table and awk numbers
    Special,      // the B, F and N lines of a colour table
};

struct Span {
    int start;
    int length;
    SpanKind kind;
    bool operator==(const Span&) const = default;
};

// The kind of a document by its name: ".bat"/".cmd" scripts, ".awk"
// programs, ".cpt" colour tables. A new document (a bare name without
// extension, as "Script") is a batch script; anything else is plain text.
FileKind fileKindFor(std::u16string_view path);

// The coloured parts of one line, in order and without overlaps. Parts not
// listed keep the plain text colour.
std::vector<Span> classifyLine(FileKind kind, std::u16string_view line);

// Every GMT module name the highlighting knows (lower case).
bool isGmtModule(std::u16string_view word);

}  // namespace mq::app
