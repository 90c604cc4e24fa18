#include "tools/ui/frm_binary2ascii.h"

#include "tools/ui/file_tool_parts.h"

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

    Label1 = new QLabel("Binary Input file (double !! ): ", this);
    Label1->setObjectName("Label1");
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Command1 = mq::tools::makeFileButton("Command1", context.filePicture, this);
    Label2 = new QLabel("ASCII output file:", this);
    Label2->setObjectName("Label2");
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Command2 = mq::tools::makeFileButton("Command2", context.filePicture, this);
    drag_->attach(Text1);
    drag_->attach(Text2);
    Label4 = new QLabel("Row #:", this);
    Label4->setObjectName("Label4");
    Command4 = new QPushButton("Start", this);
    Command4->setObjectName("Command4");
    Command3 = new QPushButton("Stop", this);
    Command3->setObjectName("Command3");

    auto* files = new QGridLayout;
    files->addWidget(Label1, 0, 0, 1, 2);
    files->addWidget(Text1, 1, 0);
    files->addWidget(Command1, 1, 1);
    files->addWidget(Label2, 2, 0, 1, 2);
    files->addWidget(Text2, 3, 0);
    files->addWidget(Command2, 3, 1);
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
            [this](const mq::tools::Progress& p) { Label4->setText("Row #: " + QString::number(p.count)); });
}

void frm_binary2ascii::Command1_Click()
{
    auto* dialog = context_.services.dialog;
    if (!dialog || !context_.openFileDialog) return;
    dialog->state().filterIndex = 10;
    dialog->state().explorerStyle = true;
    const QString path = context_.openFileDialog();
    if (!path.isEmpty()) Text1->setText(path);
}

void frm_binary2ascii::Command2_Click()
{
    if (!context_.openFileDialog) return;
    const QString path = context_.openFileDialog();
    if (!path.isEmpty()) Text2->setText(path);
}

void frm_binary2ascii::Command3_Click() { bridge_->stop(); }

void frm_binary2ascii::Command4_Click()
{
    if (bridge_->running()) return;
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) return;
    auto result = std::make_shared<std::unique_ptr<mq::Result<mq::tools::BinaryXyzOutcome>>>();
    result_ = result;
    bridge_->start(
        [result, in = utf8(Text1->text()), out = utf8(Text2->text())](mq::tools::RunControl& control) {
            *result = std::make_unique<mq::Result<mq::tools::BinaryXyzOutcome>>(
                mq::tools::convert_binary_xyz(in, out, control.progress_fn(), control.stop_fn()));
        },
        [this] { finished(); });
}

void frm_binary2ascii::finished()
{
    const auto holder = std::move(result_);
    if (!holder || !*holder) return;
    const auto& result = **holder;
    if (!result) {
        Label4->setText("Row #:");
        mq::tools::showErrorBox(context_.services.messages, result.error(), kTitle);
        return;
    }
    if (result->stopped) {
        Label4->setText("Row #: " + QString::number(result->records));
        return;
    }
    QString text = "Converting finished!";
    if (result->left_over)
        text += QString(" %1 bytes left over at the end (less than one record).").arg(result->left_over);
    Label4->setText(text);
}
