#include "calc/ui/frm_UTM_LL.h"

#include "calc/coordinate_text.h"
#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/ui/file_tool_parts.h"
#include "tools/utm_file.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using mq::platform::MessageButtons;
using mq::platform::MessageIcon;

namespace {

constexpr const char* kProgramTitle = "Mapquill";
const QString kFileFilter =
    "All Files (*.*)|*.*|Data Files (*.dat)|*.dat|XYZ Files (*.xyz)|*.xyz|Text Files (*.txt)|*.txt";

QLabel* make_label(const QString& caption, const QString& name, QWidget* parent)
{
    return mq::tools::named(new QLabel(caption, parent), name);
}

QLabel* make_result(const QString& name, QWidget* parent)
{
    QLabel* label = make_label("-", name, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(110);
    return label;
}

QLineEdit* make_box(const QString& name, QWidget* parent, mq::calc::ui::KeyFilter::Accept accept)
{
    return mq::tools::makeBox(name, QString(), parent, std::move(accept));
}

QPushButton* make_button(const QString& caption, const QString& name, QWidget* parent)
{
    return mq::tools::named(new QPushButton(caption, parent), name);
}

// The numbers this window's error boxes show, by where a conversion failed.
enum class Failure {
    NoDelimiter = 1,   // a data line without a blank or TAB (an empty line too)
    WrongPath = 2,     // a folder of the input or output path does not exist
    SameFile = 3,      // the output names the input
    BadZone = 4,       // the zone is not one of 1 to 60
    CannotRead = 5,    // the input is missing or cannot be read
    CannotWrite = 6,   // the output cannot be written
    BadLine = 7,       // a field that is not a number, a missing field, a point beyond a pole
};

// Where a file run that got past the window's own checks failed.
Failure run_failure(const mq::Error& error, const std::string& output)
{
    if (error.line > 0)
        return error.kind == mq::ErrorKind::past_end ? Failure::NoDelimiter : Failure::BadLine;
    return error.file == output ? Failure::CannotWrite : Failure::CannotRead;
}

}  // namespace

frm_UTM_LL::frm_UTM_LL(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_UTM_LL", "UTM - Lat/Lon Converter", parent), services_(context.services)
{
    // Longitude and latitude take "-", ".", "/", the digits and ":"; easting
    // and northing ".", "/" and the digits; the zone "/" and the digits.
    auto coordinate_key = [](int code) { return code >= 45 && code <= 58; };
    auto metre_key = [](int code) { return code >= 46 && code <= 57; };
    auto zone_key = [](int code) { return code >= 47 && code <= 57; };

    Frame1 = new QGroupBox("Latitude/Longitude to UTM", this);
    Frame1->setObjectName("Frame1");
    Lo = make_label("Longitude", "Lo", Frame1);
    Text1 = make_box("Text1", Frame1, coordinate_key);
    Label1 = make_label("Latitude", "Label1", Frame1);
    Text2 = make_box("Text2", Frame1, coordinate_key);
    Command1 = make_button("Convert", "Command1", Frame1);
    lb_zone = make_result("lb_zone", Frame1);
    lb_easting = make_result("lb_easting", Frame1);
    lb_northing = make_result("lb_northing", Frame1);
    Command3 = make_button("Copy", "Command3", Frame1);

    auto* upper = new QGridLayout(Frame1);
    upper->addWidget(Lo, 0, 0);
    upper->addWidget(Text1, 0, 1);
    upper->addWidget(Label1, 1, 0);
    upper->addWidget(Text2, 1, 1);
    upper->addWidget(Command1, 2, 1, Qt::AlignLeft);
    upper->addWidget(make_label("UTM Zone:", "", Frame1), 0, 2, Qt::AlignRight);
    upper->addWidget(lb_zone, 0, 3);
    upper->addWidget(make_label("Easting:", "", Frame1), 1, 2, Qt::AlignRight);
    upper->addWidget(lb_easting, 1, 3);
    upper->addWidget(make_label("Northing:", "", Frame1), 2, 2, Qt::AlignRight);
    upper->addWidget(lb_northing, 2, 3);
    upper->addWidget(Command3, 3, 3, Qt::AlignRight);
    upper->setColumnStretch(3, 1);

    Frame2 = new QGroupBox("UTM to Latitude/Longitude", this);
    Frame2->setObjectName("Frame2");
    tx_easting = make_box("tx_easting", Frame2, metre_key);
    tx_northing = make_box("tx_northing", Frame2, metre_key);
    tx_UTM_zone = make_box("tx_UTM_zone", Frame2, zone_key);
    tx_UTM_zone->setMaximumWidth(60);
    Op_north = new QRadioButton("North", Frame2);
    Op_north->setObjectName("Op_north");
    op_south = new QRadioButton("South", Frame2);
    op_south->setObjectName("op_south");
    Op_north->setChecked(true);
    Command2 = make_button("Convert", "Command2", Frame2);
    lb_lon = make_result("lb_lon", Frame2);
    lb_lat = make_result("lb_lat", Frame2);
    Command4 = make_button("Copy", "Command4", Frame2);
    tx_in_UTM2LL = make_box("tx_in_UTM2LL", Frame2, nullptr);
    Command5 = make_button("Browse", "Command5", Frame2);
    tx_out_UTM2LL = make_box("tx_out_UTM2LL", Frame2, nullptr);
    Command6 = make_button("Browse", "Command6", Frame2);
    Command7 = make_button("Convert File", "Command7", Frame2);
    Label12 = make_label("-", "Label12", Frame2);
    progressBar = mq::tools::makeRunBar(Frame2);
    bar_ = progressBar;

    auto* zone_row = new QHBoxLayout;
    zone_row->addWidget(tx_UTM_zone);
    zone_row->addWidget(Op_north);
    zone_row->addWidget(op_south);
    zone_row->addStretch(1);

    auto* lower = new QGridLayout(Frame2);
    lower->addWidget(make_label("Easting", "", Frame2), 0, 0);
    lower->addWidget(tx_easting, 0, 1);
    lower->addWidget(make_label("Northing", "", Frame2), 1, 0);
    lower->addWidget(tx_northing, 1, 1);
    lower->addWidget(make_label("UTM Zone", "", Frame2), 2, 0);
    lower->addLayout(zone_row, 2, 1);
    lower->addWidget(Command2, 3, 1, Qt::AlignLeft);
    lower->addWidget(make_label("Longitude:", "", Frame2), 0, 2, Qt::AlignRight);
    lower->addWidget(lb_lon, 0, 3);
    lower->addWidget(make_label("Latitude:", "", Frame2), 1, 2, Qt::AlignRight);
    lower->addWidget(lb_lat, 1, 3);
    lower->addWidget(Command4, 3, 3, Qt::AlignRight);
    lower->addWidget(make_label("In file (ascii: Easting, Northing, depth)", "", Frame2), 4, 0, 1, 4);
    lower->addWidget(tx_in_UTM2LL, 5, 0, 1, 3);
    lower->addWidget(Command5, 5, 3);
    lower->addWidget(make_label("Out file (ascii: Longitude, Latitide, depth)", "", Frame2), 6, 0, 1, 4);
    lower->addWidget(tx_out_UTM2LL, 7, 0, 1, 3);
    lower->addWidget(Command6, 7, 3);
    lower->addWidget(Command7, 8, 0, 1, 2, Qt::AlignLeft);
    lower->addWidget(Label12, 8, 2, 1, 2);
    lower->addWidget(progressBar, 9, 0, 1, 4);
    lower->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    resize(460, sizeHint().height());

    connect(Command1, &QPushButton::clicked, this, &frm_UTM_LL::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frm_UTM_LL::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frm_UTM_LL::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frm_UTM_LL::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frm_UTM_LL::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frm_UTM_LL::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frm_UTM_LL::Command7_Click);
}

// ---------------------------------------------------------------- single values

void frm_UTM_LL::Command1_Click()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    const auto lon = mq::calc::coord_to_decimal(Text1->text().toStdString());
    const auto lat = mq::calc::coord_to_decimal(Text2->text().toStdString());
    if (!lon || !lat) return;
    const auto utm = mq::calc::latlon_to_utm(lon.value(), lat.value());
    if (!utm) {
        // A latitude beyond a pole: no result, and the user is told why.
        for (QLabel* label : {lb_zone, lb_easting, lb_northing}) label->setText("-");
        show_error(int(Failure::BadLine), utm.error().message);
        return;
    }
    const QStringList fields = QString::fromStdString(utm.value()).split(':');
    lb_zone->setText(fields.value(0));
    lb_easting->setText(fields.value(1));
    lb_northing->setText(fields.value(2));
}

mq::Status frm_UTM_LL::setUtmState()
{
    const auto zone = mq::calc::read_utm_zone(tx_UTM_zone->text().toStdString());
    if (!zone) return zone.error();
    utmState_.utm_zone = zone.value();
    if (Op_north->isChecked()) utmState_.utm_hemisphere.assign(1, 'N');
    if (op_south->isChecked()) utmState_.utm_hemisphere.assign(1, 'S');
    return {};
}

void frm_UTM_LL::show_error(int number, const std::string& description)
{
    show_message("Error",
                 "... don't know what is wrong.\n\n" + QString::number(number) + "    " +
                     QString::fromStdString(description),
                 MessageIcon::Question);
}

void frm_UTM_LL::Command2_Click()
{
    // An empty zone, or one that is not a number, fails quietly; a zone that
    // does not exist and a point beyond a pole are refused aloud.
    auto refuse = [this](Failure kind, const mq::Error& error) {
        lb_lon->setText("-");
        lb_lat->setText("-");
        show_error(int(kind), error.message);
    };
    if (!mq::numbers::read_number(tx_UTM_zone->text().toStdString())) return;
    if (const auto zone = setUtmState(); !zone) return refuse(Failure::BadZone, zone.error());
    const auto easting = mq::numbers::read_number(tx_easting->text().toStdString());
    const auto northing = mq::numbers::read_number(tx_northing->text().toStdString());
    if (!easting || !northing) return;
    const auto text = mq::calc::utm_to_latlon(*easting, *northing, utmState_);
    if (!text) return refuse(Failure::BadLine, text.error());
    const QStringList fields = QString::fromStdString(text.value()).split(':');
    const auto lat = mq::calc::dec2degmm(std::string_view(fields.value(1).toStdString()));
    const auto lon = mq::calc::dec2degmm(std::string_view(fields.value(0).toStdString()));
    if (lat) lb_lat->setText(QString::fromStdString(*lat));
    if (lon) lb_lon->setText(QString::fromStdString(*lon));
}

void frm_UTM_LL::Command3_Click()
{
    Command1_Click();
    if (!services_.clipboard) return;
    services_.clipboard->clear();
    services_.clipboard->setText(lb_easting->text() + '\t' + lb_northing->text() + '\t' + lb_zone->text());
}

void frm_UTM_LL::Command4_Click()
{
    Command2_Click();
    if (!services_.clipboard) return;
    services_.clipboard->clear();
    services_.clipboard->setText(lb_lon->text() + '\t' + lb_lat->text());
}

// ---------------------------------------------------------------- files

QString frm_UTM_LL::show_open_dialog(int filterIndex, const QString& filter, bool allowNewName)
{
    if (!services_.dialog) return {};
    // This dialog is the window's own: the shared dialog's settings are left
    // as they were for the main window.
    auto& state = services_.dialog->state();
    const mq::platform::CommonDialogState saved = state;
    state = mq::platform::CommonDialogState{};
    state.filter = filter;
    state.filterIndex = filterIndex > 0 ? filterIndex : 1;
    state.explorerStyle = true;
    const bool chosen = allowNewName ? services_.dialog->showSave() : services_.dialog->showOpen();
    const QString path = state.fileName.trimmed();
    state = saved;
    if (!chosen || path.isEmpty()) return {};
    return path + "?" + QFileInfo(path).fileName();
}

mq::platform::MessageAnswer frm_UTM_LL::show_message(const QString& caption, const QString& text,
                                                     MessageIcon icon)
{
    if (!services_.messages) return mq::platform::MessageAnswer::Ok;
    return services_.messages->show(text, MessageButtons::Ok, icon, caption);
}

void frm_UTM_LL::Command5_Click()
{
    const QString chosen = show_open_dialog(3, kFileFilter, false);
    if (!chosen.isEmpty()) tx_in_UTM2LL->setText(chosen.section('?', 0, 0));
}

void frm_UTM_LL::Command6_Click()
{
    const QString chosen = show_open_dialog(3, kFileFilter, true);
    if (!chosen.isEmpty()) tx_out_UTM2LL->setText(chosen.section('?', 0, 0));
}

void frm_UTM_LL::progress(const mq::tools::Progress& p)
{
    linesRead_ = p.count;
    mq::tools::showLineProgress(Label12, progressBar, p);
}

void frm_UTM_LL::Command7_Click()
{
    if (running()) return;  // one conversion at a time
    if (tx_UTM_zone->text().isEmpty()) {
        tx_UTM_zone->setFocus();
        return;
    }
    if (const auto zone = setUtmState(); !zone) {
        show_error(int(Failure::BadZone), zone.error().message);
        return;
    }
    if (tx_in_UTM2LL->text().isEmpty() || tx_out_UTM2LL->text().isEmpty()) return;

    const std::string input = tx_in_UTM2LL->text().toStdString();
    const std::string output = tx_out_UTM2LL->text().toStdString();
    if (!mq::tools::check_folders(input, output)) {
        show_message("Wrong Path", "Is it possible that one of your paths is wong?", MessageIcon::Question);
        return;
    }
    if (const auto distinct = mq::io::check_distinct_files(input, output); !distinct) {
        show_error(int(Failure::SameFile), distinct.error().text());
        return;
    }
    const mq::calc::UtmState state = utmState_;
    const QString before = Label12->text();
    Label12->setText("Please wait: ...");
    linesRead_ = 0;
    run(
        [=](mq::tools::RunControl& control) {
            return mq::tools::convert_utm_file(input, output, state, control.progress_fn(), control.stop_fn());
        },
        [this, before, output](const mq::Result<mq::tools::RunSummary>& r) {
            if (r) {
                mq::tools::showKept(Label12, r->kept, "-", output);
                return;
            }
            const Failure failure = run_failure(r.error(), output);
            if (linesRead_ == 0 && failure != Failure::NoDelimiter) Label12->setText(before);
            if (!r.error().note.empty()) mq::tools::showKept(Label12, r.error().note, {}, output);
            if (failure == Failure::NoDelimiter) {
                show_message(kProgramTitle, " There is no TAB as delimiter in the current line!", MessageIcon::None);
                return;
            }
            show_error(int(failure), r.error().text());
        });
}
