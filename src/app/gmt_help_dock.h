// The "GMT help" dock: a module's name, its one-line purpose and its usage
// as "gmt MODULE" prints it without arguments, and a "Manual page" link to
// its page in the GMT manual folder when that folder is set. Without GMT it
// says so.
#pragma once

#include "platform/platform.h"

#include <QDockWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;

namespace mq::app {

class GmtModules;

class GmtHelpDock : public QDockWidget {
    Q_OBJECT
public:
    // `manualFolder` gives the folder of the GMT html manual (the main
    // window's gmt_html_path), empty when none is set.
    GmtHelpDock(platform::Services services, GmtModules& modules, std::function<QString()> manualFolder,
                QWidget* parent = nullptr);

    // Shows a module's usage, read from GMT in the background the first time.
    void showFor(const QString& module);

    QString module() const { return module_; }
    QString purpose() const;  // the purpose, or why there is no usage
    QString usageText() const;
    bool offersManualPage() const;

private:
    void fill();
    void openManualPage();

    platform::Services services_;
    GmtModules& modules_;
    std::function<QString()> manualFolder_;
    QString module_;

    QLabel* name_ = nullptr;
    QLabel* purpose_ = nullptr;
    QPlainTextEdit* usage_ = nullptr;
    QLabel* link_ = nullptr;
};

}  // namespace mq::app
