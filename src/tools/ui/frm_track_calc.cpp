#include "tools/ui/frm_track_calc.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

using mq::tools::named;

}  // namespace

frm_track_calc::frm_track_calc(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_track_calc", "Calculate Positions Along a Track", parent)
{
    Label3 = named(new QLabel("X-Axis:", this), "Label3");
    tx_1 = named(new QLineEdit(this), "tx_1");
    Label2 = named(new QLabel("to", this), "Label2");
    tx_2 = named(new QLineEdit(this), "tx_2");
    Label4 = named(new QLabel("Y-Axis:", this), "Label4");
    ty_1 = named(new QLineEdit(this), "ty_1");
    Label6 = named(new QLabel("to", this), "Label6");
    ty_2 = named(new QLineEdit(this), "ty_2");
    Label5 = named(new QLabel("Number of samples:", this), "Label5");
    Text7 = named(new QLineEdit("100", this), "Text7");
    Label1 = named(new QLabel("Track output file (ASCII):", this), "Label1");
    Text1 = named(new QLineEdit(this), "Text1");
    Command1 = makePickButton("Command1", [this] { pickOutput(); });
    Command2 = makeStartButton("Command2", "Start");
    Label7 = makeProgressLabel("Label7", "Row #:");
    Command3 = makeStopButton("Command3");
    progressBar = makeProgressBar();

    auto* grid = new QGridLayout;
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(tx_1, 0, 1);
    grid->addWidget(Label2, 0, 2);
    grid->addWidget(tx_2, 0, 3);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(ty_1, 1, 1);
    grid->addWidget(Label6, 1, 2);
    grid->addWidget(ty_2, 1, 3);
    grid->addWidget(Label5, 2, 0, 1, 2);
    grid->addWidget(Text7, 2, 3);
    auto* file = new QHBoxLayout;
    file->addWidget(Text1, 1);
    file->addWidget(Command1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label7, 1);
    bottom->addWidget(Command2);
    bottom->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Label1);
    layout->addLayout(file);
    layout->addLayout(bottom);
    layout->addWidget(progressBar);
    resize(400, sizeHint().height());
}

void frm_track_calc::pickOutput()
{
    auto* dialog = context_.services.dialog;
    if (!dialog) return;
    auto& state = dialog->state();
    state.cancelError = true;
    state.hideReadOnly = true;
    state.filter = QStringLiteral("All Files (*.*)|*.*|Text Files") +
                   QStringLiteral("(*.txt)|*.txt|Batch Files (*.bat)|*.bat|Color Files (*.cpt)|*.cpt") +
                   QStringLiteral("|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|Awk script (*.awk)|*.awk");
    state.filterIndex = 6;
    if (!dialog->showSave()) return;
    Text1->setText(state.fileName);
}

void frm_track_calc::start()
{
    if (Text1->text().isEmpty()) return;
    const mq::tools::TrackRequest request{utf8(tx_1->text()), utf8(tx_2->text()), utf8(ty_1->text()),
                                          utf8(ty_2->text()), utf8(Text7->text()), utf8(Text1->text())};
    const bool started = run(
        [request](mq::tools::RunControl& control) {
            return mq::tools::calc_track_positions(request, control.progress_fn(), control.stop_fn());
        },
        [this, output = request.output](const mq::Result<mq::tools::RunSummary>& result) {
            finished(result, output);
        });
    if (started) Label7->setText("Row #:");
}

void frm_track_calc::finished(const mq::Result<mq::tools::RunSummary>& result, const std::string& output)
{
    if (!result) {
        Label7->setText("Row #:");
        showError(result.error());
        return;
    }
    mq::tools::showKept(Label7, result->kept, "Row #: " + QString::number(result->records), output);
}
