// The gmt program as the "GMT folder" setting and PATH give it; the main
// window hands its docks the run's own lookup instead.
#pragma once

#include "app/core/gmt_location.h"
#include "platform/platform.h"

#include <QString>

namespace mq::app {

inline QString gmtProgramOfSettings(const platform::SettingsStore* settings)
{
    const QString folder =
        settings ? settings->get(QString::fromUtf8(kGmtSettingsSection), QString::fromUtf8(kGmtFolderKey))
                 : QString();
    return QString::fromStdString(gmt_program(folder.toStdString()));
}

}  // namespace mq::app
