#include "app/gmt_modules.h"

#include "app/core/gmt_location.h"
#include "app/gmt_setting.h"

#include <QPointer>
#include <algorithm>

namespace mq::app {

GmtModules::GmtModules(platform::Services services, std::function<QString()> gmtProgram, QObject* parent)
    : QObject(parent), services_(services), gmtProgram_(std::move(gmtProgram))
{
    if (!gmtProgram_) {
        gmtProgram_ = [settings = services_.settings] { return gmtProgramOfSettings(settings); };
    }
}

void GmtModules::load()
{
    if (state_ != State::unread && state_ != State::noGmt) return;
    gmt_ = gmtProgram_();
    if (gmt_.isEmpty() || !services_.programs) {
        state_ = State::noGmt;
        return;
    }
    state_ = State::reading;
    pending_ = 2;
    const QPointer<GmtModules> self(this);
    services_.programs->capture(gmt_, {QStringLiteral("--help")}, [self](const platform::ProgramOutput& out) {
        if (!self) return;
        self->help_ = out.output;
        self->listRead();
    });
    services_.programs->capture(gmt_, {QStringLiteral("--show-classic")},
                                [self](const platform::ProgramOutput& out) {
                                    if (!self) return;
                                    self->classic_ = out.output;
                                    self->listRead();
                                });
}

void GmtModules::listRead()
{
    if (--pending_ > 0) return;
    modules_ = parse_gmt_modules(help_.toStdString(), classic_.toStdString());
    help_.clear();
    classic_.clear();
    state_ = State::ready;
    emit modulesRead();
}

const GmtModule* GmtModules::find(const QString& name) const
{
    const std::string wanted = name.toStdString();
    const auto it = std::lower_bound(modules_.begin(), modules_.end(), wanted,
                                     [](const GmtModule& m, const std::string& n) { return m.name < n; });
    return it != modules_.end() && it->name == wanted ? &*it : nullptr;
}

const GmtModules::Usage* GmtModules::usage(const QString& module)
{
    if (const auto it = usages_.constFind(module); it != usages_.constEnd())
        return it->has_value() ? &**it : nullptr;
    load();
    if (state_ == State::noGmt) return nullptr;
    usages_.insert(module, std::nullopt);
    const QPointer<GmtModules> self(this);
    services_.programs->capture(gmt_, {module}, [self, module](const platform::ProgramOutput& out) {
        if (!self) return;
        Usage read;
        read.output = QString::fromUtf8(out.output).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (!out.started) {
            read.problem = QStringLiteral("%1 could not be started.").arg(self->gmt_);
        } else if (auto parsed = parse_gmt_usage(out.output.toStdString())) {
            read.usage = std::move(parsed.value());
        } else {
            read.problem = QStringLiteral("gmt %1 printed no usage.").arg(module);
        }
        self->usages_.insert(module, std::move(read));
        emit self->usageRead(module);
    });
    return nullptr;
}

}  // namespace mq::app
