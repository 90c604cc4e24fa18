#include "tools/ui/frm_replace.h"

#include "tools/replace_text.h"
#include "common/ui/file_tool_parts.h"
#include "common/ui/worker_bridge.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kFilter =
    "All Files (*.*)|*.*|Text Files"
    "(*.txt)|*.txt|Batch Files (*.bat)|*.bat|Color Files (*.cpt)|*.cpt"
    "|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|Awk script (*.awk)|*.awk";
constexpr int kXyzEntry = 6;

using mq::tools::named;

std::string text_of(const QLineEdit* box) { return box->text().toStdString(); }

}  // namespace

frm_replace::frm_replace(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_replace", "Replace Text in Text File", parent)
{
    Label3 = named(new QLabel("Input file: ASCII file with text to be replaced:", this), "Label3");
    Text3 = named(new QLineEdit(this), "Text3");
    Command2 = makePickButton("Command2", [this] {
        if (const QString path = choose_file(false); !path.isEmpty()) Text3->setText(path);
    });
    Label5 = named(new QLabel("Output file: ASCII file with replaced text:", this), "Label5");
    Text4 = named(new QLineEdit(this), "Text4");
    Command3 = makePickButton("Command3", [this] {
        if (const QString path = choose_file(true); !path.isEmpty()) Text4->setText(path);
    });
    Label1 = named(new QLabel("Text to replace", this), "Label1");
    Label2 = named(new QLabel("Text to fill in", this), "Label2");
    ck_entire = named(new QCheckBox("Entire File", this), "ck_entire");
    t_ent_rep = named(new QLineEdit(this), "t_ent_rep");
    t_ent_fill = named(new QLineEdit(this), "t_ent_fill");
    Label7 = named(new QLabel("Line by Line", this), "Label7");
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        Check[n] = named(new QCheckBox("Replace", this), QString("Check%1").arg(i + 1));
        t_rep[n] = named(new QLineEdit(this), QString("t_%1_rep").arg(i + 1));
        t_fill[n] = named(new QLineEdit(this), QString("t_%1_fill").arg(i + 1));
    }
    Check[0]->setChecked(true);
    ck_add_to_each_line = named(new QCheckBox("Add to each line", this), "ck_add_to_each_line");
    tx_add = named(new QLineEdit(this), "tx_add");
    Check6 = named(new QCheckBox("Take line if", this), "Check6");
    Check6->setToolTip("Takes only those lines which (not)contain the specified string.");
    Text1 = named(new QLineEdit(this), "Text1");
    Option1 = named(new QRadioButton("exist.", this), "Option1");
    Option1->setChecked(true);
    Option2 = named(new QRadioButton("not exist.", this), "Option2");
    Check5 = named(new QCheckBox("Take each", this), "Check5");
    Check5->setToolTip("Takes only each specified line");
    Check5->setChecked(true);
    Check5->installEventFilter(this);
    // "/" and the digits.
    Text2 = mq::tools::makeBox("Text2", "1", this, [](int code) { return code >= 47 && code <= 57; });
    Text2->setMaximumWidth(60);
    Label6 = named(new QLabel("line.", this), "Label6");
    do_kml = named(new QCheckBox("do kml convert", this), "do_kml");
    ck_kml_document = named(new QCheckBox("Complete KML document", this), "ck_kml_document");
    ck_kml_document->setToolTip(
        "Writes the placemarks, and nothing else, as a KML file that map programs open.");
    ck_kml_document->setEnabled(false);
    Command1 = makeStartButton("Command1", "Start replace");
    Label4 = makeProgressLabel("Label4", "Line #:");
    progress_bar = named(new QProgressBar(this), "progress_bar");
    progress_bar->setRange(0, 1000);
    progress_bar->setTextVisible(false);

    auto* files = mq::tools::makeFileRows(Label3, Text3, Command2, Label5, Text4, Command3);
    Text3->setMinimumWidth(360);

    auto* texts = new QGridLayout;
    texts->addWidget(Label1, 0, 1);
    texts->addWidget(Label2, 0, 2);
    texts->addWidget(ck_entire, 1, 0);
    texts->addWidget(t_ent_rep, 1, 1);
    texts->addWidget(t_ent_fill, 1, 2);
    texts->addWidget(Label7, 2, 0);
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        texts->addWidget(Check[n], 3 + i, 0);
        texts->addWidget(t_rep[n], 3 + i, 1);
        texts->addWidget(t_fill[n], 3 + i, 2);
    }
    texts->addWidget(ck_add_to_each_line, 7, 0);
    texts->addWidget(tx_add, 7, 1, 1, 2);

    auto* take_if = new QHBoxLayout;
    take_if->addWidget(Check6);
    take_if->addWidget(Text1, 1);
    take_if->addWidget(Option1);
    take_if->addWidget(Option2);

    auto* take_each = new QHBoxLayout;
    take_each->addWidget(Check5);
    take_each->addWidget(Text2);
    take_each->addWidget(Label6);
    take_each->addStretch(1);
    take_each->addWidget(do_kml);
    take_each->addWidget(ck_kml_document);

    auto* run = new QHBoxLayout;
    run->addWidget(Command1);
    run->addWidget(Label4, 1);
    run->addWidget(progress_bar, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addSpacing(6);
    layout->addLayout(texts);
    layout->addLayout(take_if);
    layout->addLayout(take_each);
    layout->addSpacing(6);
    layout->addLayout(run);

    connect(do_kml, &QCheckBox::toggled, ck_kml_document, &QWidget::setEnabled);
}

// The bar stays, full after a whole run.
void frm_replace::progress(const mq::tools::Progress& p) { mq::tools::showLineProgress(Label4, progress_bar, p); }

bool frm_replace::eventFilter(QObject* watched, QEvent* event)
{
    // The mouse over "Take each" shows the count in its tooltip.
    if (watched == Check5 && (event->type() == QEvent::Enter || event->type() == QEvent::ToolTip))
        Check5->setToolTip("Takes only each " + Text2->text() + " line.");
    return QWidget::eventFilter(watched, event);
}

QString frm_replace::choose_file(bool save)
{
    auto* dialog = context_.services.dialog;
    if (!dialog) return {};
    auto& state = dialog->state();
    state.cancelError = true;
    state.hideReadOnly = true;
    state.filter = kFilter;
    state.filterIndex = kXyzEntry;
    if (!(save ? dialog->showSave() : dialog->showOpen())) return {};
    return state.fileName;
}

mq::tools::ReplaceSettings frm_replace::read_controls() const
{
    mq::tools::ReplaceSettings s;
    s.entire = ck_entire->isChecked();
    s.entire_search = text_of(t_ent_rep);
    s.entire_fill = text_of(t_ent_fill);
    for (std::size_t i = 0; i < 4; ++i) s.rows[i] = {Check[i]->isChecked(), text_of(t_rep[i]), text_of(t_fill[i])};
    s.add_to_each_line = ck_add_to_each_line->isChecked();
    s.add_text = text_of(tx_add);
    s.take_if = Check6->isChecked();
    s.take_if_text = text_of(Text1);
    s.take_if_exists = Option1->isChecked();
    s.take_each = Check5->isChecked();
    s.take_each_count = text_of(Text2);
    s.kml = do_kml->isChecked();
    s.kml_document = ck_kml_document->isChecked();
    return s;
}

void frm_replace::start()
{
    if (Text3->text().isEmpty() || Text4->text().isEmpty()) return;
    const std::string input = text_of(Text3);
    const std::string output = text_of(Text4);
    const mq::tools::ReplaceSettings settings = read_controls();
    const bool started = run(
        [=](mq::tools::RunControl& control) {
            return mq::tools::replace_in_file(input, output, settings, control.progress_fn(), control.stop_fn());
        },
        [this, output](const mq::Result<mq::tools::RunSummary>& result) {
            mq::tools::showKept(Label4, result.ok() ? result->kept : result.error().note, "-", output);
            if (result.ok()) {
                if (!result->stopped) progress_bar->setValue(progress_bar->maximum());
                return;
            }
            mq::tools::showMessage(context_.services.messages, QString::fromStdString(result.error().text()),
                                   mq::platform::MessageIcon::Exclamation, windowTitle());
        });
    if (!started) return;
    Label4->setText("Please wait: ...");
    progress_bar->setValue(0);
}
