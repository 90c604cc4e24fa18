// An editor window holding one script.
#pragma once

#include "app/core/script_document.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QWidget>
#include <string>

namespace mq::app {

class MDIForm1;

// Editor text from decoded UTF-16, keeping every character (a leading
// byte-order mark included, which QString::fromStdU16String would drop).
inline QString fromU16(const std::u16string& text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// The script text box: menu shortcuts take precedence over its own keys.
class EditorTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
    // The next typed key starts an undo step of its own, apart from the
    // insertion before it.
    void separateNextTyping() { separateNextTyping_ = true; }

signals:
    // A key or a click, which may have moved the caret or the selection.
    void caretTouched();
    // Local files dropped on the text.
    void filesDropped(const QStringList& paths);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool separateNextTyping_ = false;
};

// The window that shows one script document and lets the user edit it.
class frmEditor : public QWidget {
    Q_OBJECT
public:
    explicit frmEditor(MDIForm1& main, QWidget* parent = nullptr);
    ~frmEditor() override;

    // False from load until the window unloads; the main window counts the
    // editors that are loaded.
    bool isUnloaded() const { return unloaded_; }

    // The document shown: its name, marks and how it is stored.
    const ScriptDocument& document() const { return document_; }
    // The caption shows the document's name with its two marks.
    QString caption() const { return QString::fromStdString(document_.caption()); }
    // Sets name and marks from a caption: a leading "'" and a trailing "*".
    void setCaption(const QString& caption);
    // The document's name: "Script" for a new one, otherwise its full path.
    QString documentPath() const { return QString::fromStdString(document_.path()); }
    bool isUnconfirmed() const { return document_.isUnconfirmed(); }
    bool isModified() const { return document_.isModified(); }
    // A document now known under `path`, unchanged since read or saved.
    void setDocument(const QString& path, bool unconfirmed);
    void setModified(bool modified);

    // The whole text with CR LF line ends, as the position display and
    // the templates see it.
    QString text() const;
    // The text as the editor holds it, one '\n' per line end.
    QString plainText() const;
    // Fills the editor with a file's bytes, decoded without loss.
    void loadFileBytes(const std::string& bytes);
    // The bytes to write for the current text, in the encoding and line-end
    // convention the document was read with (or the new-document default);
    // markSaved once they are safely on disk.
    EncodedScript encodeForSave() const;
    void markSaved(const EncodedScript& saved) { document_.markSaved(saved); }

    // Replaces the selection with text; the caret ends behind it.
    void insertAtCaret(const QString& text);
    // The same as an undo step of its own, never merged with typing.
    void insertAsOneStep(const QString& text);
    // Commands that insert several pieces undo as one step.
    void beginCompoundEdit();
    void endCompoundEdit();

    QString selectedText() const;   // with CR LF line ends
    void setTextColor(quint32 bgr);  // 0x00BBGGRR
    // Reports where the caret stands (positionChanged).
    void PositionAusgeben();
    // Marks a line (from 1) with a background, as a message points at it;
    // 0 takes the mark away.
    void markLine(int line);
    // Makes this the active window of the frame.
    void activate();
    // Asks whether to save a modified document; false when the closing
    // must not go on.
    bool queryClose();
    // The next close goes ahead without asking (every editor has been
    // asked already).
    void closeWithoutAsking() { closeConfirmed_ = true; }

    EditorTextBox* Text1 = nullptr;
    QFrame* Picture1 = nullptr;

signals:
    void positionChanged(long long line, long long column, long long lines);
    void unloaded();
    void filesDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void onTextChanged();
    void showCaption();

    MDIForm1& main_;
    ScriptDocument document_;
    QTextCursor compoundCursor_;
    int compoundDepth_ = 0;
    bool closeConfirmed_ = false;
    bool unloaded_ = false;
};

}  // namespace mq::app
