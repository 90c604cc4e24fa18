// The "UTM - Lat/Lon Converter" tool window: one longitude/latitude pair to
// UTM (upper frame), one easting/northing pair back to longitude and
// latitude, and whole files of easting, northing, depth lines (lower frame).
// File conversions run on a worker thread; closing the window stops them.
//
// Controls (object names): Frame1 with Lo/Text1, Label1/Text2, Command1
// "Convert", lb_zone, lb_easting, lb_northing, Command3 "Copy"; Frame2 with
// tx_easting, tx_northing, tx_UTM_zone, Op_north, op_south, Command2
// "Convert", lb_lon, lb_lat, Command4 "Copy", tx_in_UTM2LL with Command5
// "Browse", tx_out_UTM2LL with Command6 "Browse", Command7 "Convert File",
// Label12 (status of the file conversion) and progressBar.
#pragma once

#include "calc/utm_conversion.h"
#include "platform/platform.h"
#include "common/ui/file_tool_window.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class frm_UTM_LL : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_UTM_LL(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    // The click handlers, also reachable through the buttons.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();

    bool converting() const { return running(); }
    // The zone and hemisphere the last inverse conversion used.
    const mq::calc::UtmState& utmState() const { return utmState_; }

    // The window's own file dialog over the platform's: the filter is a
    // "label|pattern|..." list with `filterIndex` (from 1) preselected. Returns
    // "full path?file name", or the empty text when cancelled. With
    // `allowNewName` a file that does not exist yet may be named.
    QString show_open_dialog(int filterIndex, const QString& filter, bool allowNewName);
    // A message box owned by this window.
    mq::platform::MessageAnswer show_message(const QString& caption, const QString& text,
                                             mq::platform::MessageIcon icon);

private:
    // Convert File is Command7: one run at a time, and the zone and the paths
    // are checked first.
    void start() override { Command7_Click(); }
    void progress(const mq::tools::Progress& p) override;
    // Reads tx_UTM_zone and the option buttons into the UTM state; the Error
    // when the zone is not a whole number from 1 to 60.
    mq::Status setUtmState();
    // The box of a failed conversion: "... don't know what is wrong.", the
    // error number and what went wrong.
    void show_error(int number, const std::string& description);

    mq::platform::Services services_;
    mq::calc::UtmState utmState_;
    std::int64_t linesRead_ = 0;   // by the running or last file conversion

    QGroupBox* Frame1 = nullptr;
    QLabel* Lo = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* lb_zone = nullptr;
    QLabel* lb_easting = nullptr;
    QLabel* lb_northing = nullptr;
    QPushButton* Command3 = nullptr;

    QGroupBox* Frame2 = nullptr;
    QLineEdit* tx_easting = nullptr;
    QLineEdit* tx_northing = nullptr;
    QLineEdit* tx_UTM_zone = nullptr;
    QRadioButton* Op_north = nullptr;
    QRadioButton* op_south = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* lb_lon = nullptr;
    QLabel* lb_lat = nullptr;
    QPushButton* Command4 = nullptr;
    QLineEdit* tx_in_UTM2LL = nullptr;
    QPushButton* Command5 = nullptr;
    QLineEdit* tx_out_UTM2LL = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QLabel* Label12 = nullptr;
    QProgressBar* progressBar = nullptr;
};
