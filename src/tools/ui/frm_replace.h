// The "Replace Text in Text File" tool window: copies a text file while
// replacing up to four texts, appending a text to each line and keeping only
// selected lines, or writing KML placemarks; or replaces one text in the
// whole file. The run goes on a worker thread; closing the window stops it.
//
// Controls (object names): Label3 / Text3 / Command2 (input file), Label5 /
// Text4 / Command3 (output file), Label1 "Text to replace", Label2 "Text to
// fill in", ck_entire with t_ent_rep / t_ent_fill, Label7 "Line by Line",
// Check1..Check4 "Replace" with t_1_rep..t_4_rep / t_1_fill..t_4_fill,
// ck_add_to_each_line with tx_add, Check6 "Take line if" with Text1 and
// Option1 "exist." / Option2 "not exist.", Check5 "Take each" with Text2 and
// Label6 "line.", do_kml "do kml convert", ck_kml_document "Complete KML
// document" (only with do_kml), Command1 "Start replace", Label4.
#pragma once

#include "common/ui/file_tool_window.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace mq::tools {
struct ReplaceSettings;
}

class frm_replace : public mq::tools::FileToolWindow {
    Q_OBJECT
public:
    explicit frm_replace(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start() override;
    void progress(const mq::tools::Progress& p) override;
    // Shows the shared dialog with this window's filter list; the chosen path or empty.
    QString choose_file(bool save);
    mq::tools::ReplaceSettings read_controls() const;


    QLabel* Label3 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* ck_entire = nullptr;
    QLineEdit* t_ent_rep = nullptr;
    QLineEdit* t_ent_fill = nullptr;
    QLabel* Label7 = nullptr;
    std::array<QCheckBox*, 4> Check{};            // Check1 .. Check4
    std::array<QLineEdit*, 4> t_rep{};            // t_1_rep .. t_4_rep
    std::array<QLineEdit*, 4> t_fill{};           // t_1_fill .. t_4_fill
    QCheckBox* ck_add_to_each_line = nullptr;
    QLineEdit* tx_add = nullptr;
    QCheckBox* Check6 = nullptr;
    QLineEdit* Text1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QCheckBox* Check5 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* do_kml = nullptr;
    QCheckBox* ck_kml_document = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label4 = nullptr;
    QProgressBar* progress_bar = nullptr;   // share of the input read
};
