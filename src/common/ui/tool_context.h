// What the main window hands to each tool window it creates.
#pragma once

#include "platform/platform.h"

#include <QIcon>
#include <QString>
#include <functional>

class QWidget;

namespace mq::tools {

struct ToolContext {
    platform::Services services;
    // The main window's shared open-file dialog ("Open File ...", ten file
    // types): the chosen path, or the empty text when cancelled.
    std::function<QString()> openFileDialog;
    // The second picture of the main window's image list, shown on the
    // file-picking buttons.
    QIcon filePicture;
    // The main window, which owns every tool window.
    QWidget* owner = nullptr;
};

}  // namespace mq::tools
