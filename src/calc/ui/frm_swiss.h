// The "Swiss - Lat Lon Converter" tool window: converts a file of Swiss grid
// coordinates into WGS 84 longitude and latitude, or with "Lat, Lon" checked
// a file of longitude and latitude into the Swiss grid. The conversion runs
// on a worker thread; closing the window stops it.
//
// Controls (object names): Label1 "Input Data:", ck_swiss "Swiss Grid",
// ck_latlon "Lat, Lon", Text1 / Command1 "Browes ..." (input), op_xy
// "X, Y, Depth", op_yx "Y, X, Depth", Label2 "Delimiter:" / Combo1, Text2 /
// Command2 "Browes ..." (output), Command3 "Convert", Label4 (status).
#pragma once

#include "common/ui/file_tool_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class frm_swiss : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_swiss(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    // The click handlers, also reachable through the controls.
    void ck_swiss_Click();
    void ck_latlon_Click();
    void Command1_Click();
    void Command2_Click();

private:
    void start() override;
    void progress(const mq::tools::Progress& p) override;

    QLabel* Label1 = nullptr;
    QCheckBox* ck_swiss = nullptr;
    QCheckBox* ck_latlon = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QRadioButton* op_xy = nullptr;
    QRadioButton* op_yx = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label4 = nullptr;
    QProgressBar* progress_bar = nullptr;   // share of the input read
};
