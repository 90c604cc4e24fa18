#include "calc/ui/grid_space_calc.h"

#include "calc/grid_steps.h"
#include "common/ui/key_filter.h"
#include "platform/platform.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// 15 twips make one pixel at 96 dpi: 5190 x 3600 twips.
constexpr int kWidth = 5190 / 15;
constexpr int kHeight = 3600 / 15;

QLabel* make_label(const QString& caption, const QString& name, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* make_box(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QString shown(const std::optional<std::string>& value) {
    return value ? QString::fromStdString(*value) : QStringLiteral("-");
}

}  // namespace

grid_space_calc::grid_space_calc(mq::platform::Services services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
    setObjectName("grid_space_calc");
    setWindowTitle("Grid size calculation");

    Label1 = make_label("Min value:", "Label1", this);
    Text1 = make_box("Text1", this);
    Label2 = make_label("Max value:", "Label2", this);
    Text2 = make_box("Text2", this);
    Option1 = new QRadioButton("Amount of gridding steps:", this);
    Option1->setObjectName("Option1");
    Text3 = make_box("Text3", this);
    Option2 = new QRadioButton("Size of gridding steps:", this);
    Option2->setObjectName("Option2");
    Text4 = make_box("Text4", this);
    auto* options = new QButtonGroup(this);
    options->addButton(Option1);
    options->addButton(Option2);
    Option1->setChecked(true);
    Command1 = new QPushButton("Calculate", this);
    Command1->setObjectName("Command1");
    Label3 = make_label("Delta Max - Min:", "Label3", this);
    Label4 = make_label("Amount of steps:", "Label4", this);
    Label5 = make_label("Size of steps:", "Label5", this);
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = make_label(QString(), QString("result_%1").arg(i), this);
        result[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    // Text3 takes "/" and the digits; Text4 also "." and ":".
    mq::calc::ui::KeyFilter::install(Text3, [](int code) { return code >= '/' && code <= '9'; });
    mq::calc::ui::KeyFilter::install(Text4, [](int code) { return code >= '.' && code <= ':'; });

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setVerticalSpacing(2);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Text1, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(Text2, 1, 1);
    layout->addWidget(Option1, 2, 0);
    layout->addWidget(Text3, 2, 1);
    layout->addWidget(Option2, 3, 0);
    layout->addWidget(Text4, 3, 1);
    layout->addWidget(Command1, 4, 0, 1, 2, Qt::AlignHCenter);
    layout->addWidget(Label3, 5, 0, 1, 2);
    layout->addWidget(result[0], 6, 0, 1, 2);
    layout->addWidget(Label4, 7, 0);
    layout->addWidget(result[1], 7, 1);
    layout->addWidget(Label5, 8, 0, 1, 2);
    layout->addWidget(result[2], 9, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    // The window keeps one size; only minimising changes it.
    setFixedSize(kWidth, kHeight);

    connect(Command1, &QPushButton::clicked, this, &grid_space_calc::Command1_Click);

    // Load.
    for (QLabel* label : result) label->clear();
}

void grid_space_calc::Command1_Click() {
    mq::calc::GridStepInput input;
    input.min = Text1->text().toStdString();
    input.max = Text2->text().toStdString();
    input.amount = Text3->text().toStdString();
    input.size = Text4->text().toStdString();
    input.mode = Option2->isChecked() ? mq::calc::GridMode::Size : mq::calc::GridMode::Amount;

    const auto r = mq::calc::calculate_grid_steps(input);
    if (!r.calculated) return;
    (r.mode == mq::calc::GridMode::Size ? Option2 : Option1)->setChecked(true);
    result[0]->setText(shown(r.range));
    result[1]->setText(shown(r.amount));
    result[2]->setText(shown(r.size));
}
