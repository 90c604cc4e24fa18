#include "app/frmeditor.h"

#include "app/core/document_rules.h"
#include "app/editor_comforts.h"
#include "app/mdiform1.h"
#include "app/menu_tree.h"

#include <QAbstractTextDocumentLayout>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace mq::app {

namespace {

constexpr QChar kParagraphSeparator(0x2029);

// Lines longer than this keep their shaped glyphs between paints. Qt frees
// them after each layout by default and shapes the whole line again for
// every paint and caret blink, which on a line of a megabyte costs seconds.
constexpr int kLongLine = 2000;

void keepLongLinesShaped(QTextDocument* document, int from, int to)
{
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to; block = block.next())
        if (block.length() > kLongLine) block.layout()->setCacheEnabled(true);
}

std::u16string toU16(const QString& s) { return s.toStdU16String(); }

// Long lines without colours are painted only where they show.
bool paintedInPart(const QTextBlock& block)
{
    return block.length() > kLongLine && block.layout()->formats().isEmpty();
}

// Draws the part of a long line that lies inside `clip`, from the glyphs
// its layout keeps. QTextLayout::draw would walk every glyph of the line
// on each paint, and the caret blinks twice a second.
void drawVisiblePart(QPainter& painter, const QTextLayout& layout, QPointF origin, const QRect& clip,
                     const QList<QTextLayout::FormatRange>& selections, const QColor& textColour)
{
    origin += layout.position();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QRectF box = line.rect().translated(origin);
        if (box.bottom() < clip.top() || box.top() > clip.bottom()) continue;
        const int lineStart = line.textStart();
        const int lineEnd = lineStart + line.textLength();
        const int from = std::max(lineStart, line.xToCursor(clip.left() - origin.x()) - 1);
        const int to = std::min(lineEnd, line.xToCursor(clip.right() - origin.x()) + 1);
        if (to <= from) continue;
        auto drawText = [&](int start, int end, const QColor& colour) {
            painter.setPen(colour);
            for (const QGlyphRun& run : line.glyphRuns(start, end - start)) painter.drawGlyphRun(origin, run);
        };
        drawText(from, to, textColour);
        for (const QTextLayout::FormatRange& selection : selections) {
            const int start = std::max(from, selection.start);
            const int end = std::min(to, selection.start + selection.length);
            if (end <= start) continue;
            const qreal left = origin.x() + line.cursorToX(start);
            qreal right = origin.x() + line.cursorToX(end);
            // A selection that goes on past the line end shows it.
            if (selection.start + selection.length > lineEnd)
                right += QFontMetricsF(layout.font()).horizontalAdvance(QLatin1Char(' '));
            painter.fillRect(QRectF(left, box.top(), right - left, box.height()).toAlignedRect(), selection.format.background());
            const QBrush foreground = selection.format.foreground();
            drawText(start, end, foreground.style() == Qt::NoBrush ? textColour : foreground.color());
        }
    }
}

}  // namespace

bool EditorTextBox::event(QEvent* e)
{
    // The menu shortcuts (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, ...) run the
    // program's commands, not the text box's built-in ones.
    if (e->type() == QEvent::ShortcutOverride) {
        static const QList<QKeySequence> claimed = [] {
            QList<QKeySequence> keys;
            for (const MenuEntry& entry : menuTree())
                if (!entry.shortcut.empty())
                    keys << QKeySequence(QString::fromUtf8(entry.shortcut.data(), qsizetype(entry.shortcut.size())));
            return keys;
        }();
        auto* key = static_cast<QKeyEvent*>(e);
        if (claimed.contains(QKeySequence(key->keyCombination()))) {
            e->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void EditorTextBox::keyPressEvent(QKeyEvent* e)
{
    if (separateNextTyping_ && !e->text().isEmpty()) {
        // The document would merge this key into the paste before it; an
        // edit block of its own starts a new undo step.
        separateNextTyping_ = false;
        QTextCursor step = textCursor();
        step.beginEditBlock();
        QPlainTextEdit::keyPressEvent(e);
        step.endEditBlock();
    } else {
        QPlainTextEdit::keyPressEvent(e);
    }
    emit caretTouched();
}

void EditorTextBox::paintEvent(QPaintEvent* e)
{
    // Script lines of ordinary length: the toolkit paints them.
    const int viewportHeight = viewport()->height();
    bool longLineShown = false;
    qreal top = contentOffset().y();
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && top <= viewportHeight; block = block.next()) {
        if (!block.isVisible()) continue;
        if (paintedInPart(block)) {
            longLineShown = true;
            break;
        }
        top += blockBoundingRect(block).height();
    }
    if (!longLineShown) {
        QPlainTextEdit::paintEvent(e);
        return;
    }

    // The same as the toolkit's paint, but a long line is drawn only where
    // it shows.
    QPainter painter(viewport());
    QPointF offset = contentOffset();
    // Nothing to the right of the widest line but the caret.
    QRect clip = e->rect();
    const qreal widest = std::max(qreal(viewport()->width()), document()->documentLayout()->documentSize().width());
    clip.setRight(std::min(clip.right(), int(offset.x() + widest - document()->documentMargin() + cursorWidth())));
    painter.setClipRect(clip);
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    const QColor textColour = context.palette.text().color();
    painter.setPen(textColour);
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && offset.y() <= viewportHeight; block = block.next()) {
        const QRectF bounds = blockBoundingRect(block).translated(offset);
        if (block.isVisible() && bounds.bottom() >= clip.top() && bounds.top() <= clip.bottom()) {
            QTextLayout* layout = block.layout();
            const int blockStart = block.position();
            const int blockLength = block.length();
            QList<QTextLayout::FormatRange> selections;
            for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
                const int start = range.cursor.selectionStart() - blockStart;
                const int end = range.cursor.selectionEnd() - blockStart;
                if (start < blockLength && end > 0 && end > start) selections.append({start, end - start, range.format});
            }
            // In overwrite mode the caret shows as the character it replaces, inverted.
            const bool caretAsBlock = overwriteMode() && context.cursorPosition >= blockStart &&
                                context.cursorPosition < blockStart + blockLength - 1;
            if (caretAsBlock) {
                QTextCharFormat inverted;
                inverted.setForeground(palette().base());
                inverted.setBackground(palette().text());
                selections.append({context.cursorPosition - blockStart, 1, inverted});
            }
            if (paintedInPart(block)) drawVisiblePart(painter, *layout, offset, clip, selections, textColour);
            else layout->draw(&painter, offset, selections, clip);
            // The caret, or where text being composed by an input method stands.
            int caret = -1;
            if (context.cursorPosition >= blockStart && context.cursorPosition - blockStart < blockLength)
                caret = context.cursorPosition - blockStart;
            else if (context.cursorPosition < -1 && !isReadOnly() && !layout->preeditAreaText().isEmpty())
                caret = layout->preeditAreaPosition() - (context.cursorPosition + 2);
            if (caret >= 0 && !caretAsBlock) {
                painter.setPen(textColour);
                layout->drawCursor(&painter, offset, caret, cursorWidth());
            }
        }
        offset.ry() += bounds.height();
    }
}

bool EditorTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return !EditorComforts::droppedFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void EditorTextBox::insertFromMimeData(const QMimeData* source)
{
    // Files dragged from the desktop open in windows of their own, even when
    // the file manager adds their paths as text; other text goes in where it
    // is dropped.
    const QStringList files = EditorComforts::droppedFiles(source);
    if (!files.isEmpty()) {
        emit filesDropped(files);
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void EditorTextBox::mousePressEvent(QMouseEvent* e)
{
    QPlainTextEdit::mousePressEvent(e);
    emit caretTouched();
}

frmEditor::frmEditor(MDIForm1& main, QWidget* parent)
    : QWidget(parent), main_(main)
{
    setObjectName(QStringLiteral("frmEditor"));
    setWindowIcon(main.windowIcon());
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Box);
    Text1 = new EditorTextBox(Picture1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Scripts want neither ligatures nor kerning. Without them Qt skips the
    // shaping engine for simple scripts (it still shapes those that need
    // it), which halves the time a keystroke takes on a very long line.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    Text1->setFont(font);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* inner = new QVBoxLayout(Picture1);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(Text1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Picture1);
    resize(640, 420);

    // The context menu runs the same edit commands as the Edit menu.
    Text1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = Text1->createStandardContextMenu(at);
        const QHash<QString, QString> commands = {
            {QStringLiteral("edit-undo"), QStringLiteral("mn_undo")},
            {QStringLiteral("edit-cut"), QStringLiteral("mn_cut")},
            {QStringLiteral("edit-copy"), QStringLiteral("mn_copy")},
            {QStringLiteral("edit-paste"), QStringLiteral("mn_paste")},
            {QStringLiteral("select-all"), QStringLiteral("mn_mark_all")},
        };
        for (QAction* a : menu->actions()) {
            QAction* command = main_.action(commands.value(a->objectName()));
            if (!command) continue;
            a->disconnect();
            connect(a, &QAction::triggered, this, [this, command] {
                activate();
                command->trigger();
            });
        }
        menu->exec(Text1->viewport()->mapToGlobal(at));
        delete menu;
    });
    connect(Text1, &QPlainTextEdit::textChanged, this, &frmEditor::onTextChanged);
    connect(Text1->document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        keepLongLinesShaped(Text1->document(), from, from + added);
    });
    connect(Text1, &QPlainTextEdit::cursorPositionChanged, this, &frmEditor::PositionAusgeben);
    connect(Text1, &EditorTextBox::caretTouched, this, &frmEditor::PositionAusgeben);
    connect(Text1, &EditorTextBox::filesDropped, this, &frmEditor::filesDropped);
}

frmEditor::~frmEditor()
{
    unloaded_ = true;
}

void frmEditor::setCaption(const QString& caption)
{
    document_.setCaption(caption.toStdString());
    Text1->document()->setModified(document_.isModified());
    showCaption();
}

void frmEditor::setDocument(const QString& path, bool unconfirmed)
{
    document_.setPath(path.toStdString(), unconfirmed);
    Text1->document()->setModified(false);
    showCaption();
}

void frmEditor::setModified(bool modified)
{
    Text1->document()->setModified(modified);
    if (document_.setModified(modified)) showCaption();
}

void frmEditor::showCaption()
{
    // "[*]" in a window title is Qt's placeholder for the modified mark;
    // doubled it shows as written.
    QString title = caption();
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

QString frmEditor::plainText() const
{
    QString raw = Text1->document()->toRawText();
    raw.replace(kParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

QString frmEditor::text() const
{
    QString raw = Text1->document()->toRawText();
    raw.replace(kParagraphSeparator, QStringLiteral("\r\n"));
    return raw;
}

void frmEditor::loadFileBytes(const std::string& bytes)
{
    Text1->setPlainText(fromU16(document_.load(bytes)));
}

EncodedScript frmEditor::encodeForSave() const
{
    return document_.encode(toU16(plainText()));
}

void frmEditor::beginCompoundEdit()
{
    if (compoundDepth_++ == 0) {
        compoundCursor_ = Text1->textCursor();
        compoundCursor_.beginEditBlock();
    }
}

void frmEditor::endCompoundEdit()
{
    if (compoundDepth_ > 0 && --compoundDepth_ == 0) {
        compoundCursor_.endEditBlock();
        Text1->setTextCursor(compoundCursor_);
        compoundCursor_ = QTextCursor();
    }
}

void frmEditor::insertAtCaret(const QString& text)
{
    if (compoundDepth_ > 0) {
        compoundCursor_.insertText(text);
        Text1->setTextCursor(compoundCursor_);
        return;
    }
    QTextCursor cursor = Text1->textCursor();
    cursor.insertText(text);
    Text1->setTextCursor(cursor);
}

void frmEditor::insertAsOneStep(const QString& text)
{
    if (compoundDepth_ > 0) return insertAtCaret(text);
    QTextCursor cursor = Text1->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    Text1->setTextCursor(cursor);
    Text1->separateNextTyping();
}

QString frmEditor::selectedText() const
{
    QString selected = Text1->textCursor().selectedText();
    selected.replace(kParagraphSeparator, QStringLiteral("\r\n"));
    return selected;
}

void frmEditor::setTextColor(quint32 bgr)
{
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Text, QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
    Text1->setPalette(palette);
}

void frmEditor::PositionAusgeben()
{
    const QTextCursor cursor = Text1->textCursor();
    const QTextBlock caretBlock = cursor.block();
    const long long caretLine = caretBlock.blockNumber();
    // Each earlier line end counts two characters in the saved text.
    const long long lineStart = caretBlock.position() + caretLine;
    const int startPosition = cursor.selectionStart();
    const QTextBlock startBlock = startPosition >= caretBlock.position()
                                      ? caretBlock
                                      : Text1->document()->findBlock(startPosition);
    const long long selectionStart = startPosition + startBlock.blockNumber();
    const CaretPosition position = caretPosition(caretLine, lineStart, selectionStart);
    emit positionChanged(position.line, position.column, Text1->document()->blockCount());
}

void frmEditor::activate()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
}

void frmEditor::onTextChanged()
{
    PositionAusgeben();
    // Only edits count: re-colouring also reports a change of the contents.
    if (Text1->document()->isModified()) setModified(true);
}

void frmEditor::markLine(int line)
{
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = Text1->document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(QColor(0xff, 0xe0, 0xa0));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(block);
        marks << mark;
    }
    Text1->setExtraSelections(marks);
}

bool frmEditor::queryClose()
{
    if (!isModified()) return true;
    activate();
    const QString text = QStringLiteral("File  ") + caption() + QStringLiteral("  isn't saved.\r\n\r\nDo you want to save it?");
    switch (main_.services().messages->show(text, platform::MessageButtons::YesNoCancel,
                                             platform::MessageIcon::Exclamation,
                                             QStringLiteral("File not saved"))) {
    case platform::MessageAnswer::Yes:
        // A cancelled or failed save keeps the window and its text.
        return isUnconfirmed() ? main_.saveEditorAs(this) : main_.saveEditor(this);
    case platform::MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void frmEditor::closeEvent(QCloseEvent* e)
{
    if (!closeConfirmed_ && !queryClose()) {
        e->ignore();
        return;
    }
    e->accept();
    if (!unloaded_) {
        unloaded_ = true;
        emit unloaded();
    }
}

void frmEditor::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    const bool maximized = sub && sub->isMaximized();
    Picture1->setFrameShape(maximized ? QFrame::NoFrame : QFrame::Box);
}

}  // namespace mq::app
