// The "Calculate Positions Along a Track" tool window: evenly spaced
// positions between two points written to a text file.
//
// Controls (object names): Label3 "X-Axis:", tx_1, Label2 "to", tx_2,
// Label4 "Y-Axis:", ty_1, Label6 "to", ty_2, Label5 + Text7 (number of
// samples), Label1 + Text1 (output file), Command1 (picks it), Command2 "Start",
// and for a run: Label7 (progress and what a stop kept), Command3 "Stop",
// progressBar.
#pragma once

#include "common/ui/file_tool_window.h"
#include "tools/track_positions.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class frm_track_calc : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_track_calc(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

private:
    void pickOutput();
    void start() override;
    void finished(const mq::Result<mq::tools::RunSummary>& result, const std::string& output);

    QLabel* Label3 = nullptr;
    QLineEdit* tx_1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* tx_2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* ty_1 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* ty_2 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Command3 = nullptr;
    QProgressBar* progressBar = nullptr;
};
