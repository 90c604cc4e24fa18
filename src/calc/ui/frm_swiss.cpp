#include "calc/ui/frm_swiss.h"

#include "tools/swiss_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using mq::tools::named;

frm_swiss::frm_swiss(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_swiss", "Swiss - Lat Lon Converter", parent)
{
    Label1 = named(new QLabel("Input Data:", this), "Label1");
    ck_swiss = named(new QCheckBox("Swiss Grid", this), "ck_swiss");
    ck_swiss->setChecked(true);
    ck_latlon = named(new QCheckBox("Lat, Lon", this), "ck_latlon");
    Text1 = named(new QLineEdit(this), "Text1");
    Command1 = named(new QPushButton("Browes ...", this), "Command1");
    op_xy = named(new QRadioButton("X, Y, Depth", this), "op_xy");
    op_xy->setChecked(true);
    op_yx = named(new QRadioButton("Y, X, Depth", this), "op_yx");
    Label2 = named(new QLabel("Delimiter:", this), "Label2");
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setEditable(true);
    Combo1->addItems({",", "TAB", "Space"});
    Combo1->setCurrentText(",");
    Combo1->setMinimumContentsLength(6);
    Text2 = named(new QLineEdit(this), "Text2");
    Command2 = named(new QPushButton("Browes ...", this), "Command2");
    Command3 = makeStartButton("Command3", "Convert");
    Label4 = makeProgressLabel("Label4", "-");
    progress_bar = named(new QProgressBar(this), "progress_bar");
    progress_bar->setRange(0, 1000);
    progress_bar->setTextVisible(false);
    Text1->setMinimumWidth(300);
    Text1->setPlaceholderText("input file");
    Text2->setPlaceholderText("output file");

    auto* kind_row = new QHBoxLayout;
    kind_row->addWidget(Label1);
    kind_row->addWidget(ck_swiss);
    kind_row->addWidget(ck_latlon);
    kind_row->addStretch(1);

    auto* order_row = new QHBoxLayout;
    order_row->addWidget(op_xy);
    order_row->addWidget(op_yx);
    order_row->addStretch(1);
    order_row->addWidget(Label2);
    order_row->addWidget(Combo1);

    auto* files = new QGridLayout;
    files->addWidget(Text1, 0, 0);
    files->addWidget(Command1, 0, 1);
    files->addWidget(Text2, 1, 0);
    files->addWidget(Command2, 1, 1);

    auto* run_row = new QHBoxLayout;
    run_row->addWidget(Command3);
    run_row->addWidget(Label4, 1);
    run_row->addWidget(progress_bar, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kind_row);
    layout->addLayout(order_row);
    layout->addLayout(files);
    layout->addLayout(run_row);

    connect(ck_swiss, &QCheckBox::clicked, this, &frm_swiss::ck_swiss_Click);
    connect(ck_latlon, &QCheckBox::clicked, this, &frm_swiss::ck_latlon_Click);
    connect(Command1, &QPushButton::clicked, this, &frm_swiss::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frm_swiss::Command2_Click);
}

// The bar stays, full after a whole run.
void frm_swiss::progress(const mq::tools::Progress& p) { mq::tools::showRowProgress(Label4, progress_bar, p); }

void frm_swiss::ck_swiss_Click()
{
    if (ck_swiss->isChecked()) ck_latlon->setChecked(false);
}

void frm_swiss::ck_latlon_Click()
{
    if (ck_latlon->isChecked()) ck_swiss->setChecked(false);
}

void frm_swiss::Command1_Click()
{
    // These settings stay on the shared dialog for its later uses.
    if (auto* dialog = context_.services.dialog) {
        dialog->state().filterIndex = 1;   // "All Files (*.*)"
        dialog->state().explorerStyle = true;
    }
    mq::tools::pickFile(context_, Text1);
}

void frm_swiss::Command2_Click() { mq::tools::pickFile(context_, Text2); }

void frm_swiss::start()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    const std::string input = Text1->text().toStdString();
    const std::string output = Text2->text().toStdString();
    const mq::tools::SwissFileOptions options{mq::tools::swiss_delimiter(Combo1->currentText().toStdString()),
                                              op_yx->isChecked(), ck_latlon->isChecked()};
    const bool started = run(
        [=](mq::tools::RunControl& control) {
            return mq::tools::convert_swiss_file(input, output, options, control.progress_fn(), control.stop_fn());
        },
        [this, output](const mq::Result<mq::tools::RunSummary>& result) {
            if (result.ok() && !result->stopped) {
                Label4->setText("Converting finished!");
                progress_bar->setValue(progress_bar->maximum());
                return;
            }
            mq::tools::showKept(Label4, result.ok() ? result->kept : result.error().note, "-", output);
            if (result.ok()) return;
            mq::tools::showMessage(context_.services.messages, QString::fromStdString(result.error().text()),
                                   mq::platform::MessageIcon::Exclamation, windowTitle());
        });
    if (!started) return;
    Label4->setText("Please wait: ...");
    progress_bar->setValue(0);
}
