// The "Grid size calculation" tool window: gridding steps for one axis of a
// map region, shown in three notations at once. The window has one fixed size.
//
// Controls (object names): Label1 "Min value:" / Text1, Label2 "Max value:" /
// Text2, Option1 "Amount of gridding steps:" / Text3, Option2 "Size of
// gridding steps:" / Text4, Command1 "Calculate", Label3..Label5 with the
// result labels result_0 .. result_2 (the label array result, by index).
#pragma once

#include "platform/platform.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;


class grid_space_calc : public QWidget {
    Q_OBJECT
public:
    explicit grid_space_calc(mq::platform::Services services, QWidget* parent = nullptr);

    void Command1_Click();

private:
    [[maybe_unused]] mq::platform::Services services_;   // no service needed yet
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 3> result{};
};
