// The "Color Select / Mixer" window: a colour mixed from three scroll bars and
// handed to scripts as "red/green/blue" text by dragging it into an editor,
// and a colour-table sketch (minimum, maximum and ten stops) drawn as a
// gradient bar and written as a GMT colour palette table by "Make cpt".
//
// Controls (object names): HScroll1..3, Label1..3, Picture1 (the mixed colour),
// Text1, pic_min, lb_min, tx_min, pic_max, lb_max, tx_max, pic_bar, Label4,
// lb_which_col, the stop arrays pic_col_<i>, lb_col_<i>, tx_col_<i> (i = 0..9),
// Command1 "Make cpt".
#pragma once

#include "catalogue/colour_mixer.h"
#include "common/ui/tool_context.h"

#include <QFrame>
#include <QLineEdit>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QMimeData;
class QPushButton;
class QScrollBar;

namespace mq::catalogue::ui {

// A colour swatch: shows a colour, reports double-clicks and, when given a
// drag source, starts a drag of what that source hands out.
class ColourSwatch : public QFrame {
public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    std::optional<Rgb> colour() const { return colour_; }
    void setColour(Rgb colour);
    std::function<void()> onDoubleClick;
    std::function<QMimeData*()> dragSource;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    std::optional<Rgb> colour_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

// The colour text box: all of its text is selected when it gets the focus,
// and the selected text can be dragged out of it.
class ColourTextBox : public QLineEdit {
public:
    explicit ColourTextBox(QWidget* parent = nullptr);
    std::function<QMimeData*()> dragSource;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPoint pressedAt_;
    bool armed_ = false;
};

// The gradient bar; it keeps the last gradient it was given.
class GradientBar : public QWidget {
public:
    explicit GradientBar(QWidget* parent = nullptr);
    const Gradient& gradient() const { return gradient_; }
    void setGradient(Gradient gradient);
    // The pen width the strokes are drawn with on this bar.
    int penPixels() const;
    std::function<void(double x)> onPointer;   // pointer moved or pressed at x
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    Gradient gradient_;
};

// How the window reaches the main window's active editor.
struct EditorLink {
    std::function<bool()> available;                  // an editor is active
    std::function<bool(const QString&)> insert;       // InsertAtCaret
};

}  // namespace mq::catalogue::ui

class Form_color : public QWidget {
    Q_OBJECT
public:
    explicit Form_color(const mq::tools::ToolContext& context, mq::catalogue::ui::EditorLink editor = {},
                        QWidget* parent = nullptr);

    // Set when a drag starts on Text1 (its text) or Picture1 (the colour as
    // one number).
    QString ColorDragText;

    // What a drag from Text1 or from the swatch carries: the red/green/blue
    // text in both cases, so a drop into an editor inserts it.
    QMimeData* Text1_dragData();
    QMimeData* Picture1_dragData();

    void make_color();
    void Command1_Click();

private:
    void HScroll_Change();
    void pic_col_DblClick(int index);
    void pic_end_DblClick(mq::catalogue::ui::ColourSwatch* swatch, QLabel* label);
    void pic_bar_MouseMove(double x);
    void pic_bar_Click();
    mq::catalogue::Rgb mixed() const;

    mq::tools::ToolContext context_;
    mq::catalogue::ui::EditorLink editor_;
    std::array<QScrollBar*, 3> HScroll{};
    std::array<QLabel*, 3> Label{};
    mq::catalogue::ui::ColourSwatch* Picture1 = nullptr;
    mq::catalogue::ui::ColourTextBox* Text1 = nullptr;
    mq::catalogue::ui::ColourSwatch* pic_min = nullptr;
    mq::catalogue::ui::ColourSwatch* pic_max = nullptr;
    QLabel* lb_min = nullptr;
    QLabel* lb_max = nullptr;
    QLineEdit* tx_min = nullptr;
    QLineEdit* tx_max = nullptr;
    mq::catalogue::ui::GradientBar* pic_bar = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lb_which_col = nullptr;
    std::array<mq::catalogue::ui::ColourSwatch*, 10> pic_col{};
    std::array<QLabel*, 10> lb_col{};
    std::array<QLineEdit*, 10> tx_col{};
    QPushButton* Command1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};
