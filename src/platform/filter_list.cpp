#include "platform/platform.h"

namespace mq::platform {

QStringList nameFiltersFromFilterList(const QString& filter)
{
    // Entries are label|pattern pairs; a pattern may list several globs
    // separated by ";" which the platform wants separated by blanks.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return result;
}

}  // namespace mq::platform
