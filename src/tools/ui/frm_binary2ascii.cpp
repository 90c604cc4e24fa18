#include "tools/ui/frm_binary2ascii.h"

#include "common/ui/file_tool_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Binary to ASCII");

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

frm_binary2ascii::frm_binary2ascii(const mq::tools::ToolContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context)
{
    setObjectName("frm_binary2ascii");
    setWindowTitle(kTitle);
    bridge_ = new mq::tools::WorkerBridge(this);
    drag_ = new mq::tools::PathDrag(this);

    using mq::tools::named;
    Label1 = named(new QLabel("Binary Input file (double !! ): ", this), "Label1");
    Text1 = named(new QLineEdit(this), "Text1");
    Command1 = mq::tools::makeFileButton("Command1", context.filePicture, this);
    Label2 = named(new QLabel("ASCII output file:", this), "Label2");
    Text2 = named(new QLineEdit(this), "Text2");
    Command2 = mq::tools::makeFileButton("Command2", context.filePicture, this);
    drag_->attach(Text1);
    drag_->attach(Text2);
    Label4 = named(new QLabel("Row #:", this), "Label4");
    Command4 = named(new QPushButton("Start", this), "Command4");
    Command3 = named(new QPushButton("Stop", this), "Command3");

    auto* files = mq::tools::makeFileRows(Label1, Text1, Command1, Label2, Text2, Command2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label4, 1);
    bottom->addWidget(Command4);
    bottom->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addLayout(bottom);
    resize(460, sizeHint().height());

    connect(Command1, &QPushButton::clicked, this, &frm_binary2ascii::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frm_binary2ascii::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frm_binary2ascii::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frm_binary2ascii::Command4_Click);
    connect(bridge_, &mq::tools::WorkerBridge::progress, this,
            [this](const mq::tools::Progress& p) { mq::tools::showRowProgress(Label4, nullptr, p); });
}

void frm_binary2ascii::Command1_Click()
{
    auto* dialog = context_.services.dialog;
    if (!dialog || !context_.openFileDialog) return;
    dialog->state().filterIndex = 10;
    dialog->state().explorerStyle = true;
    mq::tools::pickFile(context_, Text1);
}

void frm_binary2ascii::Command2_Click() { mq::tools::pickFile(context_, Text2); }

void frm_binary2ascii::Command3_Click() { bridge_->stop(); }

void frm_binary2ascii::Command4_Click()
{
    if (bridge_->running()) return;
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    bridge_->run(
        [in = utf8(Text1->text()), out = utf8(Text2->text())](mq::tools::RunControl& control) {
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
        mq::tools::showErrorBox(context_.services.messages, result.error(), kTitle);
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
