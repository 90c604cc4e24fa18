#include "app/gmt_help_dock.h"

#include "app/core/gmt_location.h"
#include "app/core/gmt_usage.h"
#include "app/gmt_modules.h"
#include "app/manual_pages.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace mq::app {

GmtHelpDock::GmtHelpDock(platform::Services services, GmtModules& modules,
                         std::function<QString()> manualFolder, QWidget* parent)
    : QDockWidget(QStringLiteral("GMT help"), parent),
      services_(services),
      modules_(modules),
      manualFolder_(std::move(manualFolder))
{
    setObjectName(QStringLiteral("GmtHelpDock"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    name_ = new QLabel(body);
    name_->setObjectName(QStringLiteral("moduleName"));
    name_->setTextFormat(Qt::PlainText);
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    purpose_ = new QLabel(body);
    purpose_->setObjectName(QStringLiteral("purpose"));
    purpose_->setTextFormat(Qt::PlainText);
    purpose_->setWordWrap(true);
    purpose_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    purpose_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    usage_ = new QPlainTextEdit(body);
    usage_->setObjectName(QStringLiteral("usage"));
    usage_->setReadOnly(true);
    usage_->setLineWrapMode(QPlainTextEdit::NoWrap);
    usage_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    link_ = new QLabel(QStringLiteral("<a href=\"page\">Manual page</a>"), body);
    link_->setObjectName(QStringLiteral("manualLink"));
    link_->setToolTip(QStringLiteral("Open the module's page of the GMT manual"));
    link_->setVisible(false);
    column->addWidget(name_);
    column->addWidget(purpose_);
    column->addWidget(usage_, 1);
    column->addWidget(link_);
    setWidget(body);

    connect(link_, &QLabel::linkActivated, this, &GmtHelpDock::openManualPage);
    connect(&modules_, &GmtModules::usageRead, this, [this](const QString& module) {
        if (module == module_) fill();
    });
    connect(&modules_, &GmtModules::modulesRead, this, [this] {
        if (!module_.isEmpty()) fill();
    });
    purpose_->setText(QStringLiteral("Press F1 on a GMT module's name to see its usage here."));
}

QString GmtHelpDock::purpose() const
{
    return purpose_->text();
}

QString GmtHelpDock::usageText() const
{
    return usage_->toPlainText();
}

bool GmtHelpDock::offersManualPage() const
{
    return !link_->isHidden();
}

void GmtHelpDock::showFor(const QString& module)
{
    module_ = module;
    modules_.load();
    fill();
}

void GmtHelpDock::fill()
{
    name_->setText(module_);
    link_->setVisible(false);
    const auto say = [this](const QString& why, const QString& text = {}) {
        purpose_->setText(why);
        usage_->setPlainText(text);
    };
    if (modules_.state() == GmtModules::State::noGmt) return say(QString::fromStdString(gmt_missing_text()));
    const bool listed =
        modules_.state() != GmtModules::State::ready || modules_.modules().empty() || modules_.find(module_);
    if (!listed) return say(QStringLiteral("\u201C%1\u201D is not a GMT module.").arg(module_));
    link_->setVisible(!manualFolder_().isEmpty());
    const GmtModules::Usage* read = modules_.usage(module_);
    if (!read) return say(QStringLiteral("Reading the usage of %1 from GMT \u2026").arg(module_));
    if (!read->usage) return say(read->problem, read->output.trimmed());
    say(QString::fromStdString(read->usage->purpose), read->output.trimmed());
}

void GmtHelpDock::openManualPage()
{
    // A classic name's page, or else its modern counterpart's (pscoast, coast).
    QString folder = manualFolder_();
    QString page = module_;
    const QString modern = QString::fromStdString(gmt_modern_name(module_.toStdString()));
    const QStringList places = ManualPages::pagePlaces(folder, page);
    if (modern != page && modules_.find(modern) &&
        std::none_of(places.begin(), places.end(), [](const QString& p) { return QFileInfo(p).isFile(); }))
        page = modern;
    ManualPages(services_, folder).change_internet_exp(page);
}

}  // namespace mq::app
