// An editor window holding one script.
#pragma once

#include <QFrame>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <QWidget>
#include <memory>

namespace mq::app {

class MDIForm1;

// Editor text from decoded UTF-16, keeping every character (a leading
// byte-order mark included, which QString::fromStdU16String would drop).
inline QString fromU16(const std::u16string& text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}
class LoadedScript;
struct EncodedScript;

// The script text box: menu shortcuts take precedence over its own keys.
class EditorTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

class frmEditor : public QWidget {
    Q_OBJECT
public:
    // False from load until the window unloads; the main window counts the
    // editors that are loaded.
    bool isUnloaded() const { return unloaded_; }
    explicit frmEditor(MDIForm1& main, QWidget* parent = nullptr);
    ~frmEditor() override;

    // The caption shows the document's name with its two marks; the name
    // itself is kept apart, so a path holding "'" or "*" stays as it is.
    QString caption() const;
    // Sets name and marks from a caption: a leading "'" and a trailing "*".
    void setCaption(const QString& caption);
    // The document's name: "Script" for a new one, otherwise its full path.
    QString documentPath() const { return name_; }
    bool isUnconfirmed() const { return unconfirmed_; }
    bool isModified() const { return modified_; }
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
    void markSaved(const EncodedScript& saved);

    // Replaces the selection with text; the caret ends behind it.
    void insertAtCaret(const QString& text);
    // The same as an undo step of its own, never merged with typing.
    void insertAsOneStep(const QString& text);
    // Commands that insert several pieces undo as one step.
    void beginCompoundEdit();
    void endCompoundEdit();

    QString selectedText() const;   // with CR LF line ends
    void setTextColor(quint32 bgr);  // 0x00BBGGRR
    void PositionAusgeben();
    // Asks whether to save a modified document; false when the closing
    // must not go on.
    bool queryClose();

    EditorTextBox* Text1 = nullptr;
    QFrame* Picture1 = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void onTextChanged();

    void showCaption();

    MDIForm1& main_;
    QString name_;
    bool unconfirmed_ = false;
    bool modified_ = false;
    std::unique_ptr<LoadedScript> script_;
    QTextCursor compoundCursor_;
    int compoundDepth_ = 0;
    bool closeConfirmed_ = false;
    bool separateNextTyping_ = false;   // the next typed key starts a new undo step
    bool unloaded_ = false;
    friend class MDIForm1;
    friend class EditorTextBox;
};

}  // namespace mq::app
