// Check for GMT 6: the places in the active script that GMT 6 refuses, listed
// in the "Output" dock, and their mending in the editor.
#include "app/mdiform1.h"

#include "app/frmeditor.h"
#include "app/output_dock.h"
#include "tools/gmt_changes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string_view>
#include <vector>

namespace mq::app {

namespace {

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), std::size_t(bytes.size())};
}

// For each byte offset of `text` in UTF-8 (and its end), the position of its
// character in `text`.
std::vector<qsizetype> positions_of_bytes(const QString& text)
{
    std::vector<qsizetype> at;
    at.reserve(std::size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            at.insert(at.end(), 4, i);
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c)) bytes = int(QStringView(text).mid(i, 1).toUtf8().size());
        at.insert(at.end(), std::size_t(bytes), i);
    }
    at.push_back(text.size());
    return at;
}

qsizetype position_at(const std::vector<qsizetype>& at, std::size_t byte)
{
    return at[std::min(byte, at.size() - 1)];
}

}  // namespace

void MDIForm1::mn_gmt6_check_Click()
{
    if (frmEditor* editor = activeEditor()) checkGmt6(editor);
}

void MDIForm1::mn_gmt6_mend_all_Click()
{
    if (frmEditor* editor = activeEditor()) mendGmt6(editor, -1);
}

void MDIForm1::checkGmt6(frmEditor* editor)
{
    gmt6Editor_ = editor;
    gmt6Text_ = editor->plainText();
    const QByteArray bytes = gmt6Text_.toUtf8();
    const std::vector<qsizetype> at = positions_of_bytes(gmt6Text_);
    const std::string file = editor->documentPath().toStdString();
    std::vector<LinkedMessage> messages;
    std::vector<bool> mendable;
    for (const tools::GmtFinding& finding : tools::gmt6_check(view(bytes))) {
        // The column counts characters, as the caret does.
        const qsizetype position = position_at(at, finding.offset);
        const QTextBlock block = editor->Text1->document()->findBlock(int(position));
        messages.push_back({file, finding.line, int(position - block.position()) + 1, finding.message,
                            finding.note ? MessageKind::note : MessageKind::error});
        mendable.push_back(finding.mendable);
    }
    outputDock_->setMessages(messages, mendable);
    const std::size_t count = messages.size();
    outputDock_->appendLine(count == 0   ? QStringLiteral("Nothing GMT 6 refuses")
                            : count == 1 ? QStringLiteral("1 place GMT 6 refuses")
                                         : QStringLiteral("%1 places GMT 6 refuses").arg(count),
                            OutputDock::Shown::note);
    outputDock_->show();
}

void MDIForm1::mendGmt6(frmEditor* editor, int row)
{
    if (!editor || editor->isUnloaded()) return;
    const QString text = editor->plainText();
    const QByteArray bytes = text.toUtf8();
    std::vector<tools::GmtFinding> findings = tools::gmt6_check(view(bytes));
    if (row >= 0) {
        // The row names a finding of the text checked; after other edits
        // the list is made anew instead.
        if (editor != gmt6Editor_ || text != gmt6Text_ || std::size_t(row) >= findings.size()) {
            checkGmt6(editor);
            return;
        }
        // With the findings it is mended only together with (an option and the one it joins).
        const tools::GmtFinding chosen = findings[std::size_t(row)];
        std::erase_if(findings, [&](const tools::GmtFinding& f) {
            return chosen.group == 0
                       ? f.offset != chosen.offset || f.length != chosen.length || f.rule != chosen.rule
                       : f.group != chosen.group;
        });
    }
    const std::vector<const tools::GmtFinding*> steps = tools::gmt6_mend_steps(view(bytes), findings);
    if (!steps.empty()) {
        // Only the spans change, from the end backwards, as one undo step.
        const std::vector<qsizetype> at = positions_of_bytes(text);
        QTextCursor cursor(editor->Text1->document());
        cursor.beginEditBlock();
        for (const tools::GmtFinding* step : steps) {
            cursor.setPosition(int(position_at(at, step->offset)));
            cursor.setPosition(int(position_at(at, step->offset + step->length)), QTextCursor::KeepAnchor);
            cursor.insertText(QString::fromStdString(step->new_text));
        }
        cursor.endEditBlock();
    }
    checkGmt6(editor);
}

}  // namespace mq::app
