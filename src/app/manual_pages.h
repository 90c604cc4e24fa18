// The GMT manual pages: the "GMT Help" entries of the Grid, Map, Color and
// Text / Plots menus open one program's page, "GMT online help" the manual's
// index, and "Set path to GMT html folder" chooses the folder they lie in.
//
// The folder (the main window's gmt_html_path, kept in the settings under
// "GMT html path"/"Path") ends with a path separator or is empty, in which case
// the pages are looked for relative to the working folder. A program page is
// "<folder>doc/html/<page>.html" (older manuals) or, where that does not exist,
// "<folder><page>.html" (current manuals); the index is "<folder>gmt_man.html"
// or else "<folder>index.html". A page found in neither place is not handed to
// the browser: a message names the places tried and how to set the folder.
#pragma once

#include "platform/platform.h"

#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

namespace mq::app {

struct ManualPageEntry {
    std::string_view menuEntry;   // control name of the "GMT Help" entry
    std::string_view page;        // the page name, the entry's caption
};

// Every "GMT Help" entry, menu by menu.
const std::vector<ManualPageEntry>& manualPageEntries();

class ManualPages {
public:
    ManualPages(platform::Services services, QString& gmt_html_path);

    // Opens the page of one GMT program.
    void change_internet_exp(const QString& page_name);
    // Asks for the folder of the manual through the shared open dialog.
    void mn_set_gmt_html_path_Click();
    // Opens the index page, asking for the folder first when none is set.
    void mn_gmt_online_help_Click();

    // The places a program page or the index is looked for, in order, with
    // the platform's separators.
    static QStringList pagePlaces(const QString& folder, const QString& page_name);
    static QStringList indexPlaces(const QString& folder);

private:
    void openFirstExisting(const QStringList& places, const QString& what, const QString& title);

    platform::Services services_;
    QString& gmt_html_path_;
};

}  // namespace mq::app
