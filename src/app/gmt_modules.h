// What the installed GMT tells of its modules, read in the background and
// kept for the session: the module names with their purposes (read once,
// when first asked for, never at start-up) and each module's usage (read
// when first asked for). Shared by the "GMT help" dock and the completion of
// the editors. With no GMT, nothing is read and nothing fails.
#pragma once

#include "app/core/gmt_usage.h"
#include "platform/platform.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace mq::app {

class GmtModules : public QObject {
    Q_OBJECT
public:
    enum class State { unread, reading, ready, noGmt };

    // One module's usage as gmt printed it: parsed, or why not.
    struct Usage {
        std::optional<GmtUsage> usage;
        QString output;   // what gmt printed
        QString problem;  // empty when the usage was read
    };

    // `gmtProgram` gives the gmt program to run, empty when there is none;
    // without it the "GMT folder" setting, PATH and the installer's folder
    // are searched.
    explicit GmtModules(platform::Services services, std::function<QString()> gmtProgram = {},
                        QObject* parent = nullptr);

    // Starts reading the module list, once; after GMT was not found, looks
    // for it again.
    void load();
    State state() const { return state_; }
    // The gmt program found by the last load; empty when there is none.
    QString gmt() const { return gmt_; }
    // Sorted by name; empty until read.
    const std::vector<GmtModule>& modules() const { return modules_; }
    const GmtModule* find(const QString& name) const;

    // The usage of a module; null while it is being read (usageRead follows),
    // and when there is no GMT.
    const Usage* usage(const QString& module);

signals:
    void modulesRead();
    void usageRead(const QString& module);

private:
    void listRead();

    platform::Services services_;
    std::function<QString()> gmtProgram_;
    State state_ = State::unread;
    QString gmt_;
    std::vector<GmtModule> modules_;
    QByteArray help_, classic_;
    int pending_ = 0;                              // list readings still running
    QHash<QString, std::optional<Usage>> usages_;  // empty while being read
};

}  // namespace mq::app
