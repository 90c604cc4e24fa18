// The "Lat/Lon Converter" tool window: one coordinate converted between
// decimal degrees, degrees with decimal minutes and degrees, minutes and
// seconds, and a "/"-separated list converted and copied in one go.
//
// Controls (object names): Text1, the option buttons Option1_0 .. Option1_5
// (the option array Option1, index = conversion), Command1 "&Do", Label2
// "Result:", Label1 (the result), Command2 "&Copy result", Text2, Command3
// "Convert and Copy".
#pragma once

#include "platform/platform.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;


class lat_lon_conv : public QWidget {
    Q_OBJECT
public:
    explicit lat_lon_conv(mq::platform::Services services, QWidget* parent = nullptr);

    // The click handlers, also reachable through the buttons.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void Text1_Change(const QString& text);
    // Converts Text1 with the selected option; true when there was a result.
    bool convert_text1();
    int selected_conversion() const;

    mq::platform::Services services_;
    QLineEdit* Text1 = nullptr;
    std::array<QRadioButton*, 6> Option1{};
    QButtonGroup* options_ = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command3 = nullptr;
};
