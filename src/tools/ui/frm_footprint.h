// The "Calculate Insonified Area" tool window: footprint points of an
// echo-sounder beam for the pings of a file inside a box, written as binary
// records on a worker thread, and the grid size of the box.
//
// Controls (object names): Label1/Text1 with the picture button Command1
// (input file), Label2/Text2 with Command2 (output file), Label5/lat_min,
// Label6/lat_max, Label7/lon_min, Label8/lon_max, Label3/t_beam,
// Label10/t_grid_space, Label4/Text4, Command5 "Calculate grid size", Label9,
// Label11 (progress), progressBar, Command3 "Start", Command4 "Stop".
#pragma once

#include "platform/platform.h"
#include "common/ui/file_tool_window.h"
#include "tools/footprint.h"

#include <optional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class frm_footprint : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_footprint(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    void Command5_Click();

private:
    void start() override;
    void progress(const mq::tools::Progress& p) override;
    // The four box edges, or nothing after a message naming the bad one.
    std::optional<mq::tools::GeoBox> readBox();
    void complain(const QString& text);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* lat_min = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* lat_max = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* lon_min = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* lon_max = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* t_beam = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* t_grid_space = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command5 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
};
