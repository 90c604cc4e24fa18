// The "Binary to ASCII" tool window: a binary xyz file (three doubles per
// record) written out as tab-separated text.
//
// Controls (object names): Label1, Text1 (input), Command1 (picks it),
// Label2, Text2 (output), Command2 (picks it), Label4 (progress and end
// notice), Command4 "Start", Command3 "Stop".
#pragma once

#include "common/ui/file_tool_window.h"
#include "tools/binary_xyz.h"

class QLabel;
class QLineEdit;
class QPushButton;

class frm_binary2ascii : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_binary2ascii(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

private:
    void start() override;
    void finished(const mq::Result<mq::tools::RunSummary>& result, const std::string& output);

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
