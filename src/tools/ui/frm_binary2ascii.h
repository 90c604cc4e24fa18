// The "Binary to ASCII" tool window: a binary xyz file (three doubles per
// record) written out as tab-separated text.
//
// Controls (object names): Label1, Text1 (input), Command1 (picks it),
// Label2, Text2 (output), Command2 (picks it), Label4 (progress and end
// notice), Command4 "Start", Command3 "Stop".
#pragma once

#include "tools/binary_xyz.h"
#include "common/ui/tool_context.h"
#include "common/ui/worker_bridge.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mq::tools {
class PathDrag;
}

class frm_binary2ascii : public QWidget {
    Q_OBJECT
public:
    explicit frm_binary2ascii(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    bool running() const { return bridge_->running(); }

private:
    void finished(const mq::Result<mq::tools::RunSummary>& result, const std::string& output);

    mq::tools::ToolContext context_;
    mq::tools::WorkerBridge* bridge_ = nullptr;
    mq::tools::PathDrag* drag_ = nullptr;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;
};
