#include "tools/ui/frm_footprint.h"

#include "calc/coordinate_text.h"
#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/ui/file_tool_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using mq::platform::MessageIcon;

namespace {

constexpr const char* kProgramTitle = "Mapquill";

QLabel* make_label(const QString& caption, const QString& name, QWidget* parent)
{
    return mq::tools::named(new QLabel(caption, parent), name);
}

QPushButton* make_button(const QString& caption, const QString& name, QWidget* parent)
{
    return mq::tools::named(new QPushButton(caption, parent), name);
}

}  // namespace

frm_footprint::frm_footprint(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_footprint", "Calculate Insonified Area", parent)
{
    // Box edges take "-", ".", "/", the digits and ":"; beam and spacing
    // ".", "/" and the digits; Text4 "/" and the digits.
    auto edge_key = [](int code) { return code >= 45 && code <= 58; };
    auto decimal_key = [](int code) { return code >= 46 && code <= 57; };
    auto whole_key = [](int code) { return code >= 47 && code <= 57; };

    Label1 = make_label("Input file: Ping position and depth (ASCII xyz):", "Label1", this);
    Text1 = mq::tools::makeBox("Text1", "", this);
    Command1 = makePickButton("Command1", [this] { mq::tools::pickFile(context_, Text1); });
    Label2 = make_label("Ouput file: Grid position insonified by the beam (binary):", "Label2", this);
    Text2 = mq::tools::makeBox("Text2", "", this);
    Command2 = makePickButton("Command2", [this] { mq::tools::pickFile(context_, Text2); });
    Label5 = make_label("Latitude min:", "Label5", this);
    lat_min = mq::tools::makeBox("lat_min", "", this, edge_key);
    Label6 = make_label("Latitude max:", "Label6", this);
    lat_max = mq::tools::makeBox("lat_max", "", this, edge_key);
    Label7 = make_label("Longitude min:", "Label7", this);
    lon_min = mq::tools::makeBox("lon_min", "", this, edge_key);
    Label8 = make_label("Longitude max:", "Label8", this);
    lon_max = mq::tools::makeBox("lon_max", "", this, edge_key);
    Label3 = make_label(QString::fromUtf8("Beam width \u00b0:"), "Label3", this);
    t_beam = mq::tools::makeBox("t_beam", "6.46", this, decimal_key);
    Label10 = make_label("Beam width grid size  m:", "Label10", this);
    t_grid_space = mq::tools::makeBox("t_grid_space", "1", this, decimal_key);
    Label4 = make_label("Output grid size m:", "Label4", this);
    Text4 = mq::tools::makeBox("Text4", "1", this, whole_key);
    Command5 = make_button("Calculate grid size", "Command5", this);
    Label9 = make_label("-", "Label9", this);
    Label11 = makeProgressLabel("Label11", "Ping #:");
    progressBar = makeProgressBar();
    Command3 = makeStartButton("Command3", "Start");
    Command4 = makeStopButton("Command4");

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

    connect(Command5, &QPushButton::clicked, this, &frm_footprint::Command5_Click);
}

void frm_footprint::complain(const QString& text)
{
    mq::tools::showMessage(context_.services.messages, text, MessageIcon::Exclamation, windowTitle());
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

void frm_footprint::progress(const mq::tools::Progress& p)
{
    if (p.count > 0) Label11->setText("Ping: " + QString::number(p.count));
    mq::tools::showShare(progressBar, p);
}

void frm_footprint::start()
{
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
    run(
        [=](mq::tools::RunControl& control) {
            return mq::tools::calc_footprint_file(input, output, edges, beam_width, point_spacing,
                                                  control.progress_fn(), control.stop_fn());
        },
        [this, output](const mq::Result<mq::tools::RunSummary>& outcome) {
            if (!outcome) {
                if (!outcome.error().note.empty())
                    mq::tools::showKept(Label11, outcome.error().note, {}, output);
                complain(QString::fromStdString(outcome.error().text()));
                return;
            }
            const mq::tools::RunSummary& s = outcome.value();
            if (!s.kept.empty()) mq::tools::showKept(Label11, s.kept, {}, output);
            // After a stop the message says so first: the area is that of
            // the records written up to the stop.
            QString text =
                "You covered " + QString::fromStdString(mq::tools::area_text(s.area)) + " square meter!";
            if (s.stopped) {
                const std::string note = s.kept.empty() ? mq::io::stopped_note(s.records, {}, {}) : s.kept;
                text = QString::fromStdString(note) + "\r\n" + text;
            }
            mq::tools::showMessage(context_.services.messages, text, MessageIcon::None, kProgramTitle);
        });
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
