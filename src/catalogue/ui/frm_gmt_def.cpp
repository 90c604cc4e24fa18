#include "catalogue/ui/frm_gmt_def.h"

#include "catalogue/gmt_fonts.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QLabel* namedLabel(const char* name, const char* text, const char* tip, QWidget* parent)
{
    auto* label = new QLabel(QLatin1String(text), parent);
    label->setObjectName(QLatin1String(name));
    if (tip) label->setToolTip(QLatin1String(tip));
    return label;
}

// Where the named screen font is not installed, the font matching falls back
// to the closest one of the same kind.
QFont::StyleHint kindOf(std::string_view family)
{
    if (family == "Courier") return QFont::TypeWriter;
    if (family.find("Arial") != std::string_view::npos || family.find("Gothic") != std::string_view::npos ||
        family.find("AvantGarde") != std::string_view::npos)
        return QFont::SansSerif;
    if (family == "Webdings" || family == "Wingdings" || family == "Symbol") return QFont::AnyStyle;
    return QFont::Serif;
}

}  // namespace

frm_gmt_def::frm_gmt_def(const mq::tools::ToolContext&, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frm_gmt_def"));
    setWindowTitle(QStringLiteral("gmtdefaults settings "));

    Label1 = namedLabel("Label1", "Available fonts for:", nullptr, this);
    Label2 = namedLabel("Label2", "Anot_Font", "E.g. text at the axis, contours, scales", this);
    Label3 = namedLabel("Label3", "Header_Font", "The text given in the -B attribute", this);
    Label4 = namedLabel("Label4", "Label_Font", "The text at e.g. the color scale or distance scale", this);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    for (const auto& font : mq::catalogue::gmt_fonts()) List1->addItem(qs(font.entry));
    List1->setMinimumWidth(List1->sizeHintForColumn(0) + 30);
    List1->setFixedHeight(List1->sizeHintForRow(0) * 12 + 2 * List1->frameWidth());
    // A click or an arrow key that changes the selection.
    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });

    lb_font = namedLabel("lb_font", "Font Example", nullptr, this);
    QFont sample(QStringLiteral("Arial"), 16);
    sample.setFamilies({QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    sample.setStyleHint(QFont::SansSerif);
    lb_font->setFont(sample);
    lb_font->setMinimumHeight(QFontMetrics(sample).height() * 2);
    lb_font->setFrameShape(QFrame::StyledPanel);
    lb_font->setAlignment(Qt::AlignCenter);

    Label5 = namedLabel("Label5", "Possible degree formats:", nullptr, this);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setPlainText(QStringLiteral(" See gmtdefaults"));
    // A hint, not an input: typed keys (and pastes) change nothing.
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setFixedHeight(90);

    auto* labels = new QVBoxLayout;
    labels->addWidget(Label1);
    labels->addSpacing(6);
    labels->addWidget(Label2);
    labels->addWidget(Label3);
    labels->addWidget(Label4);
    labels->addStretch(1);
    auto* fonts = new QVBoxLayout;
    fonts->addWidget(List1);
    fonts->addWidget(lb_font);
    auto* top = new QHBoxLayout;
    top->addLayout(labels);
    top->addSpacing(12);
    top->addLayout(fonts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Label5);
    layout->addWidget(Text1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frm_gmt_def::List1_Click()
{
    const int index = List1->currentRow();
    const auto& fonts = mq::catalogue::gmt_fonts();
    if (index < 0 || index >= int(fonts.size())) return;
    const auto& entry = fonts[std::size_t(index)];
    QFont font = lb_font->font();
    // The listed screen font where installed, else the clone of the GMT font,
    // else whatever the font matching finds closest of the same kind.
    QStringList families{qs(entry.screen_font)};
    if (!entry.stand_in.empty()) families << qs(entry.stand_in);
    font.setFamilies(families);
    font.setStyleHint(kindOf(entry.screen_font));
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    lb_font->setFont(font);
}
