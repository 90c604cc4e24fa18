// Every file tool of the program, described once. A file tool reads a file
// (or only writes one), runs on a worker thread with a progress callback and
// a stop query, and returns Result<RunSummary> (tools/runner.h): it is a
// window of the Tools menu and a mapquill-tools subcommand at once.
//
// Each row: the tool's id, its subcommand, the line that mapquill-tools
// --help shows for it, the Tools menu entry and caption that open its window,
// and the window's class. The rows are in the order of the Tools menu.
//
// The list is a macro, so that each layer takes from one row what it builds
// on: the plain list below (names and texts), the command line
// (`run_<id>(args, out, err)`, declared and put into its table from here)
// and the main window (`new <Window>(context)` for the menu entry).
#pragma once

#include <span>
#include <string_view>

// X(id, subcommand, summary, menu entry, menu caption, window class)
#define MQ_FILE_TOOLS(X)                                                                                      \
    X(utm_file, "utm-file", "convert a file of UTM easting, northing, depth lines", "mn_UTM_LL",             \
      "UTM - Lat/Lon Converter", frm_UTM_LL)                                                                  \
    X(swiss, "swiss", "convert a Swiss grid file to WGS 84 longitude, latitude (or back)", "mn_swiss",       \
      "Swiss - Lat/Lon Converter", frm_swiss)                                                                 \
    X(replace, "replace", "replace texts in a text file, select lines, write KML placemarks", "mn_replace", \
      "Replace text in text file", frm_replace)                                                               \
    X(bin2ascii, "bin2ascii", "write a binary xyz file (three doubles per record) as text",                  \
      "mn_bin_to_ascii", "Binary to ASCII", frm_binary2ascii)                                                 \
    X(track, "track", "write evenly spaced positions along a straight track", "mn_calc_pos_track",           \
      "Calculate positions along track", frm_track_calc)                                                      \
    X(footprint, "footprint", "write the points insonified by an echo-sounder beam", "mn_insonified",        \
      "Calculate insonified area", frm_footprint)                                                             \
    X(srtm, "srtm", "convert an SRTM .hgt tile into xyz records (and grid them with GMT)", "mn_binary2ascii", \
      "Convert SRTM data", frm_SRTM)

namespace mq::tools {

struct FileTool {
    std::string_view name;           // the mapquill-tools subcommand
    std::string_view summary;        // its line in mapquill-tools --help
    std::string_view menu_entry;     // the Tools menu entry that opens its window
    std::string_view menu_caption;
    std::string_view window;         // the window's class (and object) name
};

// Every file tool, in the order of the Tools menu.
std::span<const FileTool> file_tools();

}  // namespace mq::tools
