// The "Convert SRTM Data (*.hgt)" tool window: an SRTM tile into xyz records,
// then, when asked, the gridding batch file written and started.
//
// Controls (object names): Label1, Text1 (input tile), Command1 (picks it),
// Label2, Text2 (output), Command2 (picks it), Frame3 "Input" with
// opt_low_end / opt_big_end, Frame4 "Output" with opt_binary / opt_ascii,
// Label5 + Text5 (south), West + Text4 (west), Label6 + Min_Z, Label7 +
// Max_Z, ck_make_grid, Label4 (progress), Command4 "Start", Command3 "Stop".
#pragma once

#include "common/ui/file_tool_window.h"
#include "tools/srtm_tile.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frm_SRTM : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_SRTM(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    const QString& gridName() const { return grid_name; }
    const QString& xyzFileName() const { return xyz_file_name; }
    // Where the gridding runs make their folders (the user's temporary
    // folder unless a test says otherwise).
    void setRunParent(const QString& folder) { runParent_ = folder; }

private:
    void pickTile();
    void start() override;
    void finished(const mq::tools::HgtConversion& job, bool makeGrid,
                  const mq::Result<mq::tools::RunSummary>& result);
    bool startGridding(const mq::tools::RunSummary& outcome, const mq::tools::HgtConversion& job,
                       const QString& grid);

    QString runParent_;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* opt_low_end = nullptr;
    QRadioButton* opt_big_end = nullptr;
    QGroupBox* Frame4 = nullptr;
    QRadioButton* opt_binary = nullptr;
    QRadioButton* opt_ascii = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLabel* West = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Min_Z = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Max_Z = nullptr;
    QCheckBox* ck_make_grid = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;

    // The window's own values.
    QString grid_name;
    QString xyz_file_name;
};
