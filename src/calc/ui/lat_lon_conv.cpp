#include "calc/ui/lat_lon_conv.h"

#include "calc/notation.h"
#include "common/ui/key_filter.h"
#include "platform/platform.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString to_qt(const std::string& text) { return QString::fromStdString(text); }

// Text1 takes "-", "e" and "." through ":" (the digits); never "/".
bool coordinate_key(int code) {
    if (code == '-' || code == 'e') return true;
    if (code == '/') return false;
    return code >= '.' && code <= ':';
}

}  // namespace

lat_lon_conv::lat_lon_conv(mq::platform::Services services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
    setObjectName("lat_lon_conv");
    setWindowTitle("Lat/Lon Converter");

    Text1 = new QLineEdit("one coordinate", this);
    Text1->setObjectName("Text1");
    mq::calc::ui::KeyFilter::install(Text1, coordinate_key);

    options_ = new QButtonGroup(this);
    options_->setExclusive(true);
    auto* option_column = new QVBoxLayout;
    option_column->setSpacing(2);
    for (int i = 0; i < mq::calc::kConversionCount; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(mq::calc::kConversionCaptions[i].data(),
                                                          static_cast<qsizetype>(mq::calc::kConversionCaptions[i].size())),
                                        this);
        option->setObjectName(QString("Option1_%1").arg(i));
        options_->addButton(option, i);
        option_column->addWidget(option);
        Option1[static_cast<std::size_t>(i)] = option;
    }
    Option1[0]->setChecked(true);

    Command1 = new QPushButton("&Do", this);
    Command1->setObjectName("Command1");
    Label2 = new QLabel("Result:", this);
    Label2->setObjectName("Label2");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setMinimumWidth(110);
    Command2 = new QPushButton("&Copy result", this);
    Command2->setObjectName("Command2");
    Text2 = new QLineEdit("coord1/coord2/coord3/coord4", this);
    Text2->setObjectName("Text2");
    Command3 = new QPushButton("Convert and Copy", this);
    Command3->setObjectName("Command3");

    auto* result_row = new QHBoxLayout;
    result_row->addWidget(Command1);
    result_row->addWidget(Label2);
    result_row->addWidget(Label1, 1);
    result_row->addWidget(Command2);

    auto* list_row = new QHBoxLayout;
    list_row->addWidget(Text2, 1);
    list_row->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(option_column);
    layout->addLayout(result_row);
    layout->addLayout(list_row);

    connect(Text1, &QLineEdit::textChanged, this, &lat_lon_conv::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &lat_lon_conv::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &lat_lon_conv::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &lat_lon_conv::Command3_Click);

    // Load.
    Label1->setText("-");
}

void lat_lon_conv::Text1_Change(const QString& text) {
    const auto detection = mq::calc::detect_notation(text.toStdString());
    if (detection.offered) {
        for (int i = 0; i < mq::calc::kConversionCount; ++i)
            Option1[static_cast<std::size_t>(i)]->setEnabled(detection.offered->test(static_cast<std::size_t>(i)));
    }
    if (detection.selected) Option1[static_cast<std::size_t>(*detection.selected)]->setChecked(true);
    if (text.isEmpty()) Label1->setText("-");
}

int lat_lon_conv::selected_conversion() const {
    const int id = options_->checkedId();
    return id < 0 ? 0 : id;
}

bool lat_lon_conv::convert_text1() {
    const auto prepared = mq::calc::prepare_notation(Text1->text().toStdString());
    // Each rewrite of Text1 runs the detection again, so the conversion is read
    // only afterwards: a negative value or one with an exponent is converted
    // with the option detection picks for it.
    if (prepared.negative) Text1->setText(to_qt(prepared.unsigned_text));
    if (prepared.body != prepared.unsigned_text) Text1->setText(to_qt(prepared.body));
    const auto converted = mq::calc::convert_notation(Text1->text().toStdString(), selected_conversion());
    if (converted.result)
        Label1->setText((prepared.negative ? "-" : "") + to_qt(converted.result.value()));
    if (prepared.negative) Text1->setText("-" + Text1->text());
    return converted.result.ok();
}

void lat_lon_conv::Command1_Click() { convert_text1(); }

void lat_lon_conv::Command2_Click() {
    convert_text1();
    if (!services_.clipboard) return;
    services_.clipboard->clear();
    services_.clipboard->setText(Label1->text());
}

void lat_lon_conv::Command3_Click() {
    QString joined;
    if (!Text2->text().isEmpty()) {
        const QStringList pieces = Text2->text().split('/');
        for (const QString& piece : pieces) {
            Text1->setText(piece);
            // A piece without a result goes into the list as typed rather than
            // repeating the result of the piece before it.
            const bool converted = convert_text1();
            joined += "/" + (converted ? Label1->text() : piece);
        }
        if (joined.startsWith('/')) joined.remove(0, 1);
    }
    if (!services_.clipboard) return;
    services_.clipboard->clear();
    services_.clipboard->setText(joined);
}
