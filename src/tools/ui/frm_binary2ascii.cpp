#include "tools/ui/frm_binary2ascii.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

frm_binary2ascii::frm_binary2ascii(const mq::tools::ToolContext& context, QWidget* parent)
    : FileToolWindow(context, "frm_binary2ascii", "Binary to ASCII", parent)
{
    using mq::tools::named;
    Label1 = named(new QLabel("Binary Input file (double !! ): ", this), "Label1");
    Text1 = makePathBox("Text1");
    Command1 = makePickButton("Command1", [this] {
        auto* dialog = context_.services.dialog;
        if (!dialog || !context_.openFileDialog) return;
        dialog->state().filterIndex = 10;
        dialog->state().explorerStyle = true;
        mq::tools::pickFile(context_, Text1);
    });
    Label2 = named(new QLabel("ASCII output file:", this), "Label2");
    Text2 = makePathBox("Text2");
    Command2 = makePickButton("Command2", [this] { mq::tools::pickFile(context_, Text2); });
    Label4 = makeProgressLabel("Label4", "Row #:");
    Command4 = makeStartButton("Command4", "Start");
    Command3 = makeStopButton("Command3");

    auto* files = mq::tools::makeFileRows(Label1, Text1, Command1, Label2, Text2, Command2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label4, 1);
    bottom->addWidget(Command4);
    bottom->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addLayout(bottom);
    resize(460, sizeHint().height());
}

void frm_binary2ascii::start()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    run([in = utf8(Text1->text()), out = utf8(Text2->text())](mq::tools::RunControl& control) {
            return mq::tools::convert_binary_xyz(in, out, control.progress_fn(), control.stop_fn());
        },
        [this, output = utf8(Text2->text())](const mq::Result<mq::tools::RunSummary>& result) {
            finished(result, output);
        });
}

void frm_binary2ascii::finished(const mq::Result<mq::tools::RunSummary>& result,
                                const std::string& output)
{
    if (!result) {
        mq::tools::showKept(Label4, result.error().note, "Row #:", output);
        showError(result.error());
        return;
    }
    if (result->stopped) {
        mq::tools::showKept(Label4, result->kept, "Row #: " + QString::number(result->records), output);
        return;
    }
    QString text = "Converting finished!";
    if (result->left_over)
        text += QString(" %1 bytes left over at the end (less than one record).").arg(result->left_over);
    Label4->setText(text);
}
