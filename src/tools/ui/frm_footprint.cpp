#include "tools/ui/frm_footprint.h"

#include "calc/coordinate_text.h"
#include "calc/ui/key_filter.h"
#include "common/number_rules.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using mq::platform::MessageButtons;
using mq::platform::MessageIcon;

namespace {

constexpr const char* kProgramTitle = "Mapquill";

QLabel* make_label(const QString& caption, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* make_box(const QString& name, const QString& text, QWidget* parent,
                    mq::calc::ui::KeyFilter::Accept accept)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    if (accept) mq::calc::ui::KeyFilter::install(box, std::move(accept));
    return box;
}

QPushButton* make_button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

frm_footprint::frm_footprint(const mq::tools::ToolContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context)
{
    setObjectName("frm_footprint");
    setWindowTitle("Calculate Insonified Area");

    // Box edges take "-", ".", "/", the digits and ":"; beam and spacing
    // ".", "/" and the digits; Text4 "/" and the digits.
    auto edge_key = [](int code) { return code >= 45 && code <= 58; };
    auto decimal_key = [](int code) { return code >= 46 && code <= 57; };
    auto whole_key = [](int code) { return code >= 47 && code <= 57; };

    Label1 = make_label("Input file: Ping position and depth (ASCII xyz):", "Label1", this);
    Text1 = make_box("Text1", "", this, nullptr);
    Command1 = make_button("", "Command1", this);
    Label2 = make_label("Ouput file: Grid position insonified by the beam (binary):", "Label2", this);
    Text2 = make_box("Text2", "", this, nullptr);
    Command2 = make_button("", "Command2", this);
    for (QPushButton* picker : {Command1, Command2}) {
        picker->setIcon(context_.filePicture);
        picker->setFixedWidth(32);
    }
    Label5 = make_label("Latitude min:", "Label5", this);
    lat_min = make_box("lat_min", "", this, edge_key);
    Label6 = make_label("Latitude max:", "Label6", this);
    lat_max = make_box("lat_max", "", this, edge_key);
    Label7 = make_label("Longitude min:", "Label7", this);
    lon_min = make_box("lon_min", "", this, edge_key);
    Label8 = make_label("Longitude max:", "Label8", this);
    lon_max = make_box("lon_max", "", this, edge_key);
    Label3 = make_label(QString::fromUtf8("Beam width \u00b0:"), "Label3", this);
    t_beam = make_box("t_beam", "6.46", this, decimal_key);
    Label10 = make_label("Beam width grid size  m:", "Label10", this);
    t_grid_space = make_box("t_grid_space", "1", this, decimal_key);
    Label4 = make_label("Output grid size m:", "Label4", this);
    Text4 = make_box("Text4", "1", this, whole_key);
    Command5 = make_button("Calculate grid size", "Command5", this);
    Label9 = make_label("-", "Label9", this);
    Label11 = make_label("Ping #:", "Label11", this);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName("progressBar");
    progressBar->setRange(0, 1000);
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(12);
    progressBar->hide();
    Command3 = make_button("Start", "Command3", this);
    Command4 = make_button("Stop", "Command4", this);

    auto* layout = new QVBoxLayout(this);
    auto file_row = [&](QLabel* label, QLineEdit* box, QPushButton* picker) {
        layout->addWidget(label);
        auto* row = new QHBoxLayout;
        row->addWidget(box, 1);
        row->addWidget(picker);
        layout->addLayout(row);
    };
    file_row(Label1, Text1, Command1);
    file_row(Label2, Text2, Command2);

    auto* grid = new QGridLayout;
    grid->addWidget(Label5, 0, 0);
    grid->addWidget(lat_min, 0, 1);
    grid->addWidget(Label6, 0, 2);
    grid->addWidget(lat_max, 0, 3);
    grid->addWidget(Label7, 1, 0);
    grid->addWidget(lon_min, 1, 1);
    grid->addWidget(Label8, 1, 2);
    grid->addWidget(lon_max, 1, 3);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(t_beam, 2, 1);
    grid->addWidget(Label10, 2, 2);
    grid->addWidget(t_grid_space, 2, 3);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Text4, 3, 1);
    grid->addWidget(Command5, 3, 2);
    grid->addWidget(Label9, 3, 3);
    layout->addLayout(grid);

    auto* run_row = new QHBoxLayout;
    run_row->addWidget(Label11, 1);
    run_row->addWidget(Command3);
    run_row->addWidget(Command4);
    layout->addLayout(run_row);
    layout->addWidget(progressBar);
    resize(520, sizeHint().height());

    connect(Command1, &QPushButton::clicked, this, &frm_footprint::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frm_footprint::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frm_footprint::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frm_footprint::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frm_footprint::Command5_Click);
    connect(&bridge_, &mq::tools::WorkerBridge::progress, this, &frm_footprint::showProgress);
}

frm_footprint::~frm_footprint()
{
    bridge_.stopAndWait();
}

void frm_footprint::closeEvent(QCloseEvent* event)
{
    bridge_.stopAndWait();
    progressBar->hide();
    QWidget::closeEvent(event);
}

void frm_footprint::Command1_Click()
{
    if (!context_.openFileDialog) return;
    const QString path = context_.openFileDialog();
    if (!path.isEmpty()) Text1->setText(path);
}

void frm_footprint::Command2_Click()
{
    if (!context_.openFileDialog) return;
    const QString path = context_.openFileDialog();
    if (!path.isEmpty()) Text2->setText(path);
}

void frm_footprint::complain(const QString& text)
{
    if (context_.services.messages)
        context_.services.messages->show(text, MessageButtons::Ok, MessageIcon::Exclamation, windowTitle());
}

std::optional<mq::tools::GeoBox> frm_footprint::readBox()
{
    const std::pair<QLabel*, QLineEdit*> edges[] = {
        {Label5, lat_min}, {Label6, lat_max}, {Label7, lon_min}, {Label8, lon_max}};
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const auto v = mq::calc::coord_to_decimal(edges[i].second->text().toStdString());
        if (!v) {
            complain(edges[i].first->text() + " " + QString::fromStdString(v.error().message));
            return std::nullopt;
        }
        values[i] = v.value();
    }
    return mq::tools::GeoBox{values[0], values[1], values[2], values[3]};
}

void frm_footprint::showProgress(const mq::tools::Progress& p)
{
    if (p.count > 0) Label11->setText("Ping: " + QString::number(p.count));
    if (p.total > 0) progressBar->setValue(static_cast<int>(p.done * 1000 / p.total));
}

void frm_footprint::Command3_Click()
{
    if (bridge_.running()) return;  // one run at a time
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    const auto box = readBox();
    if (!box) return;
    const auto beam = mq::numbers::read_number(t_beam->text().toStdString());
    if (!beam) {
        complain(Label3->text() + " '" + t_beam->text() + "' is not a number");
        return;
    }
    const auto spacing = mq::numbers::read_number(t_grid_space->text().toStdString());
    if (!spacing || *spacing <= 0) {
        complain(Label10->text() + " '" + t_grid_space->text() + "' must be a number greater than 0");
        return;
    }

    const std::string input = Text1->text().toStdString();
    const std::string output = Text2->text().toStdString();
    const mq::tools::GeoBox edges = *box;
    const double beam_width = *beam;
    const double point_spacing = *spacing;
    auto outcome = std::make_shared<mq::tools::FootprintOutcome>();
    progressBar->setValue(0);
    progressBar->show();
    bridge_.start(
        [=](mq::tools::RunControl& control) {
            *outcome = mq::tools::calc_footprint_file(input, output, edges, beam_width, point_spacing,
                                                      control.progress_fn(), control.stop_fn());
        },
        [this, outcome] {
            progressBar->hide();
            if (!outcome->status) {
                complain(QString::fromStdString(outcome->status.error().text()));
                return;
            }
            if (context_.services.messages)
                context_.services.messages->show(
                    "You covered " + QString::fromStdString(mq::tools::area_text(outcome->summary.area)) +
                        " square meter!",
                    MessageButtons::Ok, MessageIcon::None, kProgramTitle);
        });
}

void frm_footprint::Command4_Click()
{
    bridge_.stop();
}

void frm_footprint::Command5_Click()
{
    const auto box = readBox();
    if (!box) return;
    const auto size = mq::tools::calc_grid_size(*box, t_grid_space->text().toStdString());
    if (!size) {
        complain(QString::fromStdString(size.error().message));
        return;
    }
    Label9->setText(QString::fromStdString(mq::tools::grid_size_text(size.value())));
}
