// The "gmtdefaults settings " window: the fonts GMT's font settings take by
// number, with a sample of each in a similar screen font.
//
// Controls (object names): Label1 "Available fonts for:", Label2 "Anot_Font",
// Label3 "Header_Font", Label4 "Label_Font" (each with a tooltip), List1 (the
// 39 fonts), lb_font (the sample), Label5 "Possible degree formats:", Text1.
#pragma once

#include "common/ui/tool_context.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;

class frm_gmt_def : public QWidget {
    Q_OBJECT
public:
    explicit frm_gmt_def(const mq::tools::ToolContext& context, QWidget* parent = nullptr);

    // Shows the sample in the screen font of the selected entry.
    void List1_Click();

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* lb_font = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
};
