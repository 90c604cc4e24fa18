#include "catalogue/ui/form_color.h"

#include "catalogue/colour_table.h"

#include <QApplication>
#include <QDrag>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace mq::catalogue::ui {

namespace {

QColor toQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }
QString qs(const std::string& s) { return QString::fromStdString(s); }

void startDrag(QWidget* source, const std::function<QMimeData*()>& data)
{
    if (!data) return;
    auto* drag = new QDrag(source);
    drag->setMimeData(data());
    drag->exec(Qt::CopyAction);
}

}  // namespace

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Sunken);
}

void ColourSwatch::setColour(Rgb colour)
{
    colour_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* e)
{
    if (colour_) QPainter(this).fillRect(contentsRect(), toQColor(*colour_));
    QFrame::paintEvent(e);
}

void ColourSwatch::mouseDoubleClickEvent(QMouseEvent*)
{
    if (onDoubleClick) onDoubleClick();
}

void ColourSwatch::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
    pressedAt_ = e->position().toPoint();
}

void ColourSwatch::mouseMoveEvent(QMouseEvent* e)
{
    if (!pressed_ || !(e->buttons() & Qt::LeftButton) || !dragSource) return;
    if ((e->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressed_ = false;
    startDrag(this, dragSource);
}

ColourTextBox::ColourTextBox(QWidget* parent) : QLineEdit(parent) {}

void ColourTextBox::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // After the click that brought the focus has placed the caret.
    QTimer::singleShot(0, this, [this] { selectAll(); });
}

void ColourTextBox::mousePressEvent(QMouseEvent* e)
{
    const int at = cursorPositionAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && hasSelectedText() && at >= selectionStart() &&
        at <= selectionEnd()) {
        armed_ = true;
        pressedAt_ = e->position().toPoint();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void ColourTextBox::mouseMoveEvent(QMouseEvent* e)
{
    if (!armed_) {
        QLineEdit::mouseMoveEvent(e);
        return;
    }
    if ((e->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    armed_ = false;
    startDrag(this, dragSource);
}

void ColourTextBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (armed_) {
        // A click on the selection without dragging places the caret.
        armed_ = false;
        setCursorPosition(cursorPositionAt(e->position().toPoint()));
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

GradientBar::GradientBar(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientBar::setGradient(Gradient gradient)
{
    gradient_ = std::move(gradient);
    update();
}

int GradientBar::penPixels() const { return stroke_pen_pixels(gradient_.pen_width, width()); }

void GradientBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (gradient_.strokes.empty()) {
        if (gradient_.width == 0.0) painter.fillRect(rect(), toQColor(gradient_.plain));
        return;
    }
    const int pen = penPixels();
    for (const GradientStroke& stroke : gradient_.strokes) {
        painter.setPen(QPen(toQColor(stroke.colour), pen, Qt::SolidLine, Qt::FlatCap));
        const double x = bar_pixel(gradient_, stroke.value, width());
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
}

void GradientBar::mouseMoveEvent(QMouseEvent* e)
{
    if (onPointer) onPointer(e->position().x());
}

void GradientBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    if (onPointer) onPointer(e->position().x());
    if (onClick) onClick();
}

}  // namespace mq::catalogue::ui

using mq::catalogue::Rgb;
using mq::catalogue::ui::ColourSwatch;
using mq::catalogue::ui::qs;

namespace {

constexpr int kStops = 10;

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

ColourSwatch* namedSwatch(const QString& name, QSize size, QWidget* parent)
{
    auto* swatch = new ColourSwatch(parent);
    swatch->setObjectName(name);
    swatch->setFixedSize(size);
    return swatch;
}

QLineEdit* namedBox(const QString& name, const QString& text, int width, QWidget* parent)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setFixedWidth(width);
    return box;
}

}  // namespace

Form_color::Form_color(const mq::tools::ToolContext& context, mq::catalogue::ui::EditorLink editor,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), editor_(std::move(editor))
{
    setObjectName(QStringLiteral("Form_color"));
    setWindowTitle(QStringLiteral("Color Select / Mixer"));

    // The mixer: three bars with their labels, the swatch beside them and
    // the colour text under them.
    static const char* const components[] = {"Red: 0", "Green: 0", "Blue: 0"};
    auto* mixer = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        Label[i] = namedLabel(QStringLiteral("Label%1").arg(i + 1), QLatin1String(components[i]), this);
        Label[i]->setMinimumWidth(Label[i]->fontMetrics().horizontalAdvance(QStringLiteral("Green: 255")) + 4);
        HScroll[i] = new QScrollBar(Qt::Horizontal, this);
        HScroll[i]->setObjectName(QStringLiteral("HScroll%1").arg(i + 1));
        HScroll[i]->setRange(0, 255);
        HScroll[i]->setSingleStep(1);
        HScroll[i]->setPageStep(10);
        HScroll[i]->setMinimumWidth(300);
        connect(HScroll[i], &QScrollBar::valueChanged, this, &Form_color::HScroll_Change);
        mixer->addWidget(Label[i], i, 0);
        mixer->addWidget(HScroll[i], i, 1);
    }
    Picture1 = namedSwatch(QStringLiteral("Picture1"), QSize(90, 64), this);
    Picture1->setColour({0, 0, 0});
    Picture1->setToolTip(QStringLiteral("drag the colour into a script"));
    Picture1->dragSource = [this] { return Picture1_dragData(); };
    mixer->addWidget(Picture1, 0, 2, 3, 1, Qt::AlignCenter);
    Text1 = new mq::catalogue::ui::ColourTextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setText(QStringLiteral("0/0/0"));
    Text1->setToolTip(QStringLiteral("drag the RGB string"));
    Text1->dragSource = [this] { return Text1_dragData(); };
    mixer->addWidget(Text1, 3, 1);

    // The ten stops, 1 to 5 on the left and 6 to 10 on the right.
    auto* stops = new QGridLayout;
    stops->setHorizontalSpacing(6);
    for (int i = 0; i < kStops; ++i) {
        pic_col[i] = namedSwatch(QStringLiteral("pic_col_%1").arg(i), QSize(32, 20), this);
        pic_col[i]->onDoubleClick = [this, i] { pic_col_DblClick(i); };
        tx_col[i] = namedBox(QStringLiteral("tx_col_%1").arg(i), QString(), 70, this);
        tx_col[i]->installEventFilter(this);
        lb_col[i] = namedLabel(QStringLiteral("lb_col_%1").arg(i), QStringLiteral("-"), this);
        lb_col[i]->setMinimumWidth(lb_col[i]->fontMetrics().horizontalAdvance(QStringLiteral("255/255/255")) + 8);
        const int row = i % 5;
        const int column = i < 5 ? 0 : 4;
        stops->addWidget(pic_col[i], row, column);
        stops->addWidget(tx_col[i], row, column + 1);
        stops->addWidget(lb_col[i], row, column + 2);
    }
    stops->setColumnMinimumWidth(3, 24);
    stops->setColumnStretch(3, 1);

    // Minimum on the left, maximum on the right, the bar under them.
    pic_min = namedSwatch(QStringLiteral("pic_min"), QSize(32, 20), this);
    pic_min->setColour({255, 255, 255});
    pic_min->onDoubleClick = [this] { pic_end_DblClick(pic_min, lb_min); };
    tx_min = namedBox(QStringLiteral("tx_min"), QStringLiteral("0"), 70, this);
    lb_min = namedLabel(QStringLiteral("lb_min"), QStringLiteral("255/255/255"), this);
    pic_max = namedSwatch(QStringLiteral("pic_max"), QSize(32, 20), this);
    pic_max->setColour({0, 0, 0});
    pic_max->onDoubleClick = [this] { pic_end_DblClick(pic_max, lb_max); };
    tx_max = namedBox(QStringLiteral("tx_max"), QStringLiteral("100"), 70, this);
    lb_max = namedLabel(QStringLiteral("lb_max"), QStringLiteral("0/0/0"), this);
    lb_max->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* ends = new QHBoxLayout;
    ends->addWidget(pic_min);
    ends->addWidget(tx_min);
    ends->addWidget(lb_min);
    ends->addStretch(1);
    ends->addWidget(lb_max);
    ends->addWidget(tx_max);
    ends->addWidget(pic_max);

    pic_bar = new mq::catalogue::ui::GradientBar(this);
    pic_bar->setObjectName(QStringLiteral("pic_bar"));
    pic_bar->setFixedHeight(32);
    pic_bar->setMinimumWidth(500);
    pic_bar->onPointer = [this](double x) { pic_bar_MouseMove(x); };
    pic_bar->onClick = [this] { pic_bar_Click(); };

    Label4 = namedLabel(QStringLiteral("Label4"), QStringLiteral("-"), this);
    Label4->setToolTip(QStringLiteral("value under the mouse pointer"));
    Label4->setMinimumWidth(80);
    lb_which_col = namedLabel(QStringLiteral("lb_which_col"), QStringLiteral("1"), this);
    lb_which_col->setToolTip(QStringLiteral("selected colour stop: click a value box to select it"));
    lb_which_col->setMinimumWidth(30);
    Command1 = new QPushButton(QStringLiteral("Make cpt"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &Form_color::Command1_Click);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label4);
    bottom->addWidget(lb_which_col);
    bottom->addStretch(1);
    bottom->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(mixer);
    layout->addSpacing(8);
    layout->addLayout(stops);
    layout->addSpacing(8);
    layout->addLayout(ends);
    layout->addWidget(pic_bar);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    make_color();
}

Rgb Form_color::mixed() const { return {HScroll[0]->value(), HScroll[1]->value(), HScroll[2]->value()}; }

void Form_color::HScroll_Change()
{
    static const char* const names[] = {"Red: ", "Green: ", "Blue: "};
    for (int i = 0; i < 3; ++i) Label[i]->setText(QLatin1String(names[i]) + QString::number(HScroll[i]->value()));
    Picture1->setColour(mixed());
    Text1->setText(qs(mq::catalogue::rgb_text(mixed())));
}

QMimeData* Form_color::Text1_dragData()
{
    ColorDragText = Text1->text();
    auto* data = new QMimeData;
    data->setText(Text1->text());
    return data;
}

QMimeData* Form_color::Picture1_dragData()
{
    const Rgb colour = Picture1->colour().value_or(Rgb{});
    ColorDragText = QString::number(mq::catalogue::colour_number(colour));
    auto* data = new QMimeData;
    data->setText(qs(mq::catalogue::rgb_text(colour)));
    data->setColorData(QColor(colour.red, colour.green, colour.blue));
    return data;
}

void Form_color::pic_col_DblClick(int index)
{
    pic_col[index]->setColour(mixed());
    lb_col[index]->setText(Text1->text());
}

void Form_color::pic_end_DblClick(ColourSwatch* swatch, QLabel* label)
{
    swatch->setColour(mixed());
    label->setText(Text1->text());
    make_color();
}

void Form_color::make_color()
{
    const auto bar = mq::catalogue::make_color(tx_min->text().toStdString(), tx_max->text().toStdString(),
                                               lb_min->text().toStdString(), lb_max->text().toStdString());
    if (bar) pic_bar->setGradient(*bar);
}

void Form_color::pic_bar_MouseMove(double x)
{
    Label4->setText(qs(mq::catalogue::value_text_at(pic_bar->gradient(), x, pic_bar->width())));
}

void Form_color::pic_bar_Click()
{
    const int selected = lb_which_col->text().toInt();
    if (selected >= 1 && selected <= kStops) tx_col[selected - 1]->setText(Label4->text());
}

bool Form_color::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress)
        for (int i = 0; i < kStops; ++i)
            if (watched == tx_col[i]) lb_which_col->setText(QString::number(i + 1));
    return QWidget::eventFilter(watched, e);
}

void Form_color::Command1_Click()
{
    using namespace mq::platform;
    mq::catalogue::ColourTableSource source;
    source.minimum = {tx_min->text().toStdString(), lb_min->text().toStdString()};
    source.maximum = {tx_max->text().toStdString(), lb_max->text().toStdString()};
    for (int i = 0; i < kStops; ++i)
        source.stops.push_back({tx_col[i]->text().toStdString(), lb_col[i]->text().toStdString()});
    auto stops = mq::catalogue::read_colour_stops(source);
    auto table = stops ? mq::catalogue::colour_table_text(stops.value())
                       : mq::Result<std::string>(stops.error());
    if (!table) {
        context_.services.messages->show(QStringLiteral("No colour table was made: ") + qs(table.error().text()) +
                                             QLatin1Char('.'),
                                         MessageButtons::Ok, MessageIcon::Exclamation, QStringLiteral("Make cpt"));
        return;
    }

    CommonDialog& dialog = *context_.services.dialog;
    CommonDialogState& state = dialog.state();
    state.dialogTitle = QStringLiteral("Save colour table");
    state.filter = QStringLiteral("Color Tables (*.cpt)|*.cpt|All Files (*.*)|*.*|");
    state.filterIndex = 1;
    state.defaultExt = QStringLiteral("cpt");
    state.fileName = QStringLiteral("colors.cpt");
    state.overwritePrompt = true;
    state.hideReadOnly = true;
    state.cancelError = true;
    if (dialog.showSave() && !state.fileName.isEmpty()) {
        const auto saved = mq::catalogue::save_colour_table(state.fileName.toStdString(), table.value());
        if (!saved)
            context_.services.messages->show(QStringLiteral("The colour table could not be saved: ") +
                                                 qs(saved.error().text()) + QLatin1Char('.'),
                                             MessageButtons::Ok, MessageIcon::Exclamation,
                                             QStringLiteral("Make cpt"));
    }

    if (!editor_.available || !editor_.insert || !editor_.available()) return;
    if (context_.services.messages->show(QStringLiteral("Insert the colour table into the active editor?"),
                                         MessageButtons::YesNoCancel, MessageIcon::Question,
                                         QStringLiteral("Make cpt")) == MessageAnswer::Yes)
        editor_.insert(qs(table.value()));
}
