#include "platform/platform.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace mq::platform {

QStringList nameFiltersFromFilterList(const QString& filter)
{
    // Entries are label|pattern pairs; a pattern may list several globs
    // separated by ";" which the platform wants separated by blanks. The
    // dialog shows the label only (its patterns are hidden), so a label that
    // names its pattern already shows it once.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList globs = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, as on Windows, also those without a dot.
        for (QString& glob : globs)
            if (glob.trimmed() == QLatin1String("*.*")) glob = QStringLiteral("*");
        result << parts[i] + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

int filterEntryOf(const QString& filter, const QString& selected)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    const QStringList names = nameFiltersFromFilterList(filter);
    for (qsizetype i = 0; i < names.size(); ++i)
        if (selected == names[i] || selected == parts[2 * i]) return int(i) + 1;
    return 0;
}

QString resolveOpenName(const QString& typed, const QString& defaultExt,
                        const std::function<bool(const QString&)>& exists)
{
    if (exists(typed)) return typed;
    if (defaultExt.isEmpty() || !QFileInfo(typed).suffix().isEmpty()) return {};
    const QString extended = typed + QLatin1Char('.') + defaultExt;
    return exists(extended) ? extended : QString();
}

QString saveExtensionFor(const QString& filter, int filterIndex, const QString& defaultExt)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    const qsizetype at = 2 * qsizetype(filterIndex) - 1;
    if (filterIndex < 1 || at >= parts.size()) return defaultExt;
    const QString pattern = parts[at].trimmed();
    if (!pattern.startsWith(QLatin1String("*."))) return defaultExt;
    const QString extension = pattern.mid(2);
    static const QRegularExpression plain(QStringLiteral("^[^*?;.\\[\\] ]+$"));
    return plain.match(extension).hasMatch() ? extension : defaultExt;
}

}  // namespace mq::platform
