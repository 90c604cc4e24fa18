#include "app/manual_pages.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace mq::app {

namespace {

const QString kSection = QStringLiteral("GMT html path");
const QString kKey = QStringLiteral("Path");

// The folder as a prefix: empty, or ending with the platform's separator.
QString folderPrefix(const QString& folder)
{
    QString prefix = QDir::toNativeSeparators(folder);
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/')) && !prefix.endsWith(QLatin1Char('\\')))
        prefix += QDir::separator();
    return prefix;
}

}  // namespace

const std::vector<ManualPageEntry>& manualPageEntries()
{
    static const std::vector<ManualPageEntry> entries = {
        {"mn_help_blockmean", "blockmean"},   {"mn_help_surface", "surface"},
        {"mn_help_grdcut", "grdcut"},         {"mn_grdsample_help", "grdsample"},
        {"mn_grd2xyz_help", "grd2xyz"},       {"mn_grdtrack_help", "grdtrack"},
        {"mn_grdmath_help", "grdmath"},       {"mn_sample1d_help", "sample1d"},
        {"mn_grdimage_help", "grdimage"},     {"mn_grdcontour_help", "grdcontour"},
        {"mn_grdview_help", "grdview"},       {"mn_pscoast_help", "pscoast"},
        {"mn_makecpt_help", "makecpt"},       {"mn_grd2cpt_help", "grd2cpt"},
        {"mn_psscale_help", "psscale"},       {"mn_pstext_help", "pstext"},
        {"mn_psxy_help", "psxy"},             {"mn_psxyz_help", "psxyz"},
    };
    return entries;
}

ManualPages::ManualPages(platform::Services services, QString& gmt_html_path)
    : services_(services), gmt_html_path_(gmt_html_path)
{
}

QStringList ManualPages::pagePlaces(const QString& folder, const QString& page_name)
{
    const QString prefix = folderPrefix(folder);
    const QChar sep = QDir::separator();
    return {prefix + QStringLiteral("doc") + sep + QStringLiteral("html") + sep + page_name + QStringLiteral(".html"),
            prefix + page_name + QStringLiteral(".html")};
}

QStringList ManualPages::indexPlaces(const QString& folder)
{
    const QString prefix = folderPrefix(folder);
    return {prefix + QStringLiteral("gmt_man.html"), prefix + QStringLiteral("index.html")};
}

void ManualPages::openFirstExisting(const QStringList& places, const QString& what, const QString& title)
{
    for (const QString& place : places) {
        const QFileInfo file(place);
        if (file.isFile()) {
            // The browser is told the full path; a page failing to show ends
            // the command quietly.
            services_.browser->open(QDir::toNativeSeparators(file.absoluteFilePath()));
            return;
        }
    }
    services_.messages->show(what + QStringLiteral(" was found neither at\r\n") + places.value(0) +
                                 QStringLiteral("\r\nnor at\r\n") + places.value(1) +
                                 QStringLiteral("\r\n\r\nChoose the folder of the GMT html manual with "
                                                "About > GMT html (help) > Set path to GMT html folder."),
                             platform::MessageButtons::Ok, platform::MessageIcon::Exclamation, title);
}

void ManualPages::change_internet_exp(const QString& page_name)
{
    openFirstExisting(pagePlaces(gmt_html_path_, page_name),
                      QStringLiteral("The manual page of ") + page_name, QStringLiteral("GMT Help"));
}

void ManualPages::mn_set_gmt_html_path_Click()
{
    platform::CommonDialog& dialog = *services_.dialog;
    platform::CommonDialogState& state = dialog.state();
    state.dialogTitle = QStringLiteral("Path to GMT html pages");
    state.filter = QStringLiteral("All Files (*.*)|*.*|");
    state.fileName = QStringLiteral("gmt_man.html");
    state.hideReadOnly = true;
    state.cancelError = true;
    if (!dialog.showOpen() || state.fileName.isEmpty()) return;
    const QString chosen = QDir::toNativeSeparators(state.fileName);
    const qsizetype last = std::max(chosen.lastIndexOf(QLatin1Char('/')), chosen.lastIndexOf(QLatin1Char('\\')));
    services_.settings->set(kSection, kKey, chosen.left(last + 1));
    gmt_html_path_ = services_.settings->get(kSection, kKey);
}

void ManualPages::mn_gmt_online_help_Click()
{
    if (gmt_html_path_.isEmpty()) mn_set_gmt_html_path_Click();
    openFirstExisting(indexPlaces(gmt_html_path_), QStringLiteral("The index of the GMT manual"),
                      QStringLiteral("GMT online help"));
}

}  // namespace mq::app
