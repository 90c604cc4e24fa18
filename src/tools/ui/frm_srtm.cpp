#include "tools/ui/frm_srtm.h"

#include "tools/grid_run.h"
#include "common/ui/file_tool_parts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kTitle = QStringLiteral("Convert SRTM Data (*.hgt)");

// "-", ".", "/" and the digits.
bool number_key(int code) { return code >= 45 && code <= 57; }

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }
QString qs(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    return mq::tools::named(new QLabel(text, parent), name);
}

QRadioButton* option(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* o = mq::tools::named(new QRadioButton(caption, parent), name);
    o->setToolTip(tip);
    o->setLayoutDirection(Qt::RightToLeft);   // caption left of the button, as "Binary:" reads
    return o;
}

// mapquill-tools beside the program (or in the build tree's cli folder, or on
// PATH): it runs the gridding batch file.
QString tools_program()
{
    const QString dir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("mapquill-tools.exe");
#else
    const QString name = QStringLiteral("mapquill-tools");
#endif
    for (const QString& candidate : {dir + "/" + name, dir + "/../cli/" + name})
        if (QFileInfo(candidate).isExecutable())
            return QDir::toNativeSeparators(QFileInfo(candidate).absoluteFilePath());
    const QString found = QStandardPaths::findExecutable(QStringLiteral("mapquill-tools"));
    return found.isEmpty() ? name : found;
}

}  // namespace

frm_SRTM::frm_SRTM(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_SRTM", kTitle, parent)
{
    Label1 = label("Label1", "Input file: Binary (*.hgt)", this);
    Text1 = makePathBox("Text1");
    Command1 = makePickButton("Command1", [this] { pickTile(); });
    Label2 = label("Label2", "Output file:", this);
    Text2 = makePathBox("Text2");
    Command2 = makePickButton("Command2", [this] { mq::tools::pickFile(context_, Text2); });

    Frame3 = mq::tools::named(new QGroupBox("Input", this), "Frame3");
    opt_low_end = option("opt_low_end", "Low Endian:", "DOS byte order", Frame3);
    opt_big_end = option("opt_big_end", "Big Endian:", "UNIX byte order", Frame3);
    opt_big_end->setChecked(true);
    auto* input_column = new QVBoxLayout(Frame3);
    input_column->addWidget(opt_low_end, 0, Qt::AlignLeft);
    input_column->addWidget(opt_big_end, 0, Qt::AlignLeft);

    Frame4 = mq::tools::named(new QGroupBox("Output", this), "Frame4");
    opt_binary = option("opt_binary", "Binary:", "", Frame4);
    opt_ascii = option("opt_ascii", "ASCII:", "ASCII data", Frame4);
    opt_binary->setChecked(true);
    auto* output_column = new QVBoxLayout(Frame4);
    output_column->addWidget(opt_binary, 0, Qt::AlignLeft);
    output_column->addWidget(opt_ascii, 0, Qt::AlignLeft);

    Label5 = label("Label5", "South coordinate:", this);
    Text5 = mq::tools::makeBox("Text5", "", this, number_key);
    West = label("West", "West coordinate:", this);
    Text4 = mq::tools::makeBox("Text4", "", this, number_key);
    Label6 = label("Label6", "Min Z-value:", this);
    Min_Z = mq::tools::makeBox("Min_Z", "0.5", this, number_key);
    Label7 = label("Label7", "Max Z-Value:", this);
    Max_Z = mq::tools::makeBox("Max_Z", "5000", this, number_key);
    for (QLineEdit* number : {Text5, Text4, Min_Z, Max_Z}) number->setMaximumWidth(90);
    ck_make_grid = mq::tools::named(new QCheckBox("Make Grid ", this), "ck_make_grid");
    ck_make_grid->setChecked(true);
    Label4 = makeProgressLabel("Label4", "Row #:");
    Label4->setMinimumWidth(110);
    Command4 = makeStartButton("Command4", "Start");
    Command3 = makeStopButton("Command3");

    auto* files = mq::tools::makeFileRows(Label1, Text1, Command1, Label2, Text2, Command2);

    auto* numbers = new QGridLayout;
    numbers->addWidget(Label5, 0, 0);
    numbers->addWidget(Text5, 0, 1);
    numbers->addWidget(West, 1, 0);
    numbers->addWidget(Text4, 1, 1);
    numbers->addWidget(Label6, 2, 0);
    numbers->addWidget(Min_Z, 2, 1);
    numbers->addWidget(Label7, 3, 0);
    numbers->addWidget(Max_Z, 3, 1);

    auto* frames = new QVBoxLayout;
    frames->addWidget(Frame3);
    frames->addWidget(Frame4);
    auto* middle = new QHBoxLayout;
    middle->addLayout(frames);
    middle->addSpacing(12);
    middle->addLayout(numbers);
    middle->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ck_make_grid);
    bottom->addWidget(Label4, 1);
    bottom->addWidget(Command4);
    bottom->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    resize(520, sizeHint().height());
}

void frm_SRTM::pickTile()
{
    auto* dialog = context_.services.dialog;
    if (!dialog || !context_.openFileDialog) return;
    dialog->state().filterIndex = 10;   // "HGT file (*.hgt)"
    dialog->state().explorerStyle = true;
    const QString path = mq::tools::pickFile(context_, Text1);
    if (path.isEmpty()) return;
    const mq::tools::TileName name = mq::tools::parse_tile_name(utf8(path));
    if (name.south) Text5->setText(qs(*name.south));
    if (name.west) Text4->setText(qs(*name.west));
    if (name.output_path) Text2->setText(qs(*name.output_path));
    if (name.xyz_name) xyz_file_name = qs(*name.xyz_name);
    if (name.grid_name) grid_name = qs(*name.grid_name);
}

void frm_SRTM::start()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    const mq::tools::HgtConversion job{
        utf8(Text1->text()),
        utf8(Text2->text()),
        opt_big_end->isChecked() ? mq::tools::ByteOrder::Big : mq::tools::ByteOrder::Little,
        opt_binary->isChecked() ? mq::tools::XyzFormat::Binary : mq::tools::XyzFormat::Ascii,
        utf8(Min_Z->text()),
        utf8(Max_Z->text()),
        utf8(Text5->text()),
        utf8(Text4->text())};
    const bool makeGrid = ck_make_grid->isChecked();
    run([job](mq::tools::RunControl& control) {
            return mq::tools::convert_hgt_tile(job, control.progress_fn(), control.stop_fn());
        },
        [this, job, makeGrid](const mq::Result<mq::tools::RunSummary>& result) { finished(job, makeGrid, result); });
}

void frm_SRTM::finished(const mq::tools::HgtConversion& job, bool makeGrid,
                        const mq::Result<mq::tools::RunSummary>& result)
{
    if (!result) {
        mq::tools::showKept(Label4, result.error().note, "Row #:", job.output);
        showError(result.error());
        return;
    }
    if (result->stopped) {  // no message, no batch file
        if (!result->kept.empty()) mq::tools::showKept(Label4, result->kept, {}, job.output);
        return;
    }
    Label4->setText("Row #:");
    QString grid = grid_name;
    if (grid.isEmpty()) {
        // No tile picked through Command1: the grid goes beside the output.
        const QFileInfo out(qs(job.output));
        grid = QDir::toNativeSeparators(out.absoluteDir().filePath(out.completeBaseName() + ".grd"));
    }
    if (makeGrid && !startGridding(result.value(), job, grid)) return;
    mq::tools::showMessage(context_.services.messages,
                           "Converting finished, gridding in progress!\r\nYour grid will be saved as: " + grid,
                           mq::platform::MessageIcon::Information, "*.hgt convert!");
}

bool frm_SRTM::startGridding(const mq::tools::RunSummary& outcome, const mq::tools::HgtConversion& job,
                             const QString& grid)
{
    // The batch file runs in its own folder, so it names the files in full.
    const QString xyz = QFileInfo(qs(job.output)).absoluteFilePath();
    const QString grid_path = QFileInfo(grid).absoluteFilePath();
    const mq::tools::GridBatch batch{utf8(QDir::toNativeSeparators(xyz)), utf8(QDir::toNativeSeparators(grid_path)),
                                     job.south, job.west, outcome.samples_per_row, job.format};
    auto* messages = context_.services.messages;
    // A folder of the run's own, removed when the run has ended.
    auto folder = mq::tools::GridRunFolder::create(utf8(runParent_));
    if (!folder) {
        mq::tools::showErrorBox(messages, folder.error(), kTitle);
        return false;
    }
    const auto run = std::make_shared<mq::tools::GridRunFolder>(std::move(folder.value()));
    const QString batch_path = qs(run->batch_path());
    if (auto s = mq::tools::write_grid_batch(run->batch_path(), batch); !s) {
        mq::tools::showErrorBox(messages, s.error(), kTitle);
        return false;
    }
    if (!context_.services.programs) return true;
    const QString dir = qs(run->path());
    // mapquill-tools runs the batch file on every platform: it stops at the
    // first failing line and names it.
    const QString program = tools_program();
    const QStringList arguments{"run-batch", QDir::toNativeSeparators(batch_path)};
    auto ended = [=](const mq::platform::ProgramEnd& end) {
        QString why;
        if (end.exitCode != 0) {
            // "mapquill-tools run-batch: the gridding failed at line ..."
            why = end.lastError;
            const QString tool = QStringLiteral("run-batch: ");
            if (const auto at = why.indexOf(tool); at >= 0) why = why.mid(at + tool.size());
            if (why.isEmpty()) why = "the gridding batch file failed";
        }
        run->remove();
        if (why.isEmpty()) return;
        why[0] = why[0].toUpper();
        mq::tools::showMessage(messages,
                               why + "\r\nNo grid was saved as: " + QDir::toNativeSeparators(grid_path),
                               mq::platform::MessageIcon::Critical, "*.hgt convert!");
    };
    if (!context_.services.programs->start(program, arguments, dir, true, ended)) {
        run->remove();
        const mq::Error error{"the gridding could not be started", utf8(program), 0};
        mq::tools::showErrorBox(messages, error, kTitle);
        return false;
    }
    return true;
}
