// The fixed texts of every text-inserting menu command and toolbar snippet.
//
// Each text is kept exactly as it goes into the script: runs of blanks, "%"
// signs, redirections and TABs matter to the batch files built from them, so
// every line end is written out as \r\n and every TAB as \t. A text is split
// into the pieces that the editor receives as separate insertions.
#include "catalogue/script_templates.h"

#include "common/strings.h"

#include <algorithm>

namespace mq::catalogue {

namespace {

// "\x01" inside a literal must stay apart from the text that follows it.
#define MQ_DATE_TIME "\x01"
static_assert(kDateTimeMarker == MQ_DATE_TIME);

std::vector<ScriptTemplate> buildTemplates()
{
    return {
    // ---- Script menu ----
    {"mn_echo", "&echo *", {
        "echo *",
    }, false},
    {"mn_stars", "&********", {
        "REM *****************************************",
    }, false},
    {"mn_script_header", "Script header", {
        "echo off\r\n"
        "Cls\r\n"
        "\r\n"
        "echo *\r\n"
        "echo *       Script for ....\r\n"
        "echo *\r\n"
        "echo *       Written by   \xC2\xA9" "    " MQ_DATE_TIME "\r\n"
        "echo *\r\n"
        "\r\n",
    }, true},
    {"mn_gmt_settings", "GMT settings", {
        "\r\n"
        "REM ************* GMT settings / base map type   plain + fancy  / page orientation   portrait + landscape\r\n",
        "gmtset PAGE_ORIENTATION \t= portrait\r\n",
        "gmtset X_ORIGIN         \t\t= 2c\r\n",
        "gmtset Y_ORIGIN         \t\t= 2c\r\n",
        "gmtset BASEMAP_TYPE \t\t= fancy\r\n",
        "gmtset PLOT_DEGREE_FORMAT\t = ddd:mm:ss\r\n",
        "gmtset PAPER_MEDIA \t\t= a4\r\n",
        "gmtset FRAME_PEN        \t\t= 1p\r\n",
        "gmtset FRAME_WIDTH      \t\t= 3p\r\n",
        "gmtset HEADER_FONT_SIZE       \t= 14p\r\n",
        "gmtset LABEL_FONT_SIZE       \t= 10p\r\n",
        "gmtset ANOT_FONT_SIZE       \t= 8p\r\n"
        "\r\n",
    }, true},
    {"mn_set_variables", "Set variables", {
        "REM ***** set variables\r\n",
        "set grd_file=\r\n",
        "set ps_file=\r\n",
        "set scale=\r\n",
        "set region=\r\n",
        "set elevation=\r\n",
        "set border=\r\n",
    }, false},
    {"mn_script_end", "Script end", {
        "echo *\r\n"
        "echo *\r\n",
        "echo *************             your file is saved as %ps_file%.ps\r\n",
        "echo *\r\n"
        "echo *\r\n",
        "echo on",
    }, false},
    {"mn_date_time", "Date && Time", {
        MQ_DATE_TIME,
    }, true},

    // ---- Grid menu ----
    {"mn_blockmean", "blockmean", {
        "echo *\r\n"
        "echo ******  calculating blockmean ....\r\n"
        "\r\n",
        "set blockmean_space=0.2m\r\n"
        "set blockmean_region=10/20/5/16\r\n"
        "\r\n",
        "blockmean %in_file% -I%blockmean_space% -R%blockmean_region%  -fig -C -L -V -bo > x_mean\r\n",
    }, true},
    {"mn_surface", "surface", {
        "echo *\r\n"
        "echo ******  calculating surface ....\r\n",
        "set surface_space=0.2m\r\n",
        "surface x_mean -Gx_surf -I%surface_space% -R%region% -fig -bi -V\r\n",
    }, true},
    {"mn_triangulate", "triangulate", {
        "echo *\r\n"
        "echo ******  calculating grid with triangulate ....\r\n",
        "triangulate in_file.txt -R%region% -J%scale% -G%grd_file%.grd -H0 -I0.5c -V > x_triang\r\n",
        "del x_triang",
    }, true},
    {"mn_nearneighbor", "nearneighbor", {
        "set nn_grid=1\r\n"
        "if \"%nn_grid%\"==\"1\"  (\r\n"
        "echo *\r\n"
        "echo ******  calculating blockmean - nearneighbor ....\r\n"
        "blockmean  bs_all_10m.xyz   -R%region%  -I0.2c -fig  -V -bo > x_mean\r\n"
        "nearneighbor x_mean -G%grd_file%.grd  -R%region%  -I0.2c  -ENaN  -S1c -bi -fg -V\r\n"
        ")",
    }, true},
    {"mn_grdcut", "grdcut", {
        "echo *\r\n"
        "echo ****** running grid cut ...\r\n",
        "grdcut %in_file%.grd -Gx_cut.grd -R%region%  -V\r\n",
    }, true},
    {"mn_grdsample", "grdsample", {
        "echo *\r\n"
        "echo ****** running grid sampling ...\r\n",
        "set grid_sampling=10c/10c\r\n",
        "grdsample cut_clip.grd -R%region% -G%in_file%.grd -I%grid_sampling% -fg -V\r\n",
    }, true},
    {"mn_grd2xyz", "grd2xyz", {
        "echo *\r\n"
        "echo ****** running grid to xyz ...\r\n",
        "grd2xyz grd_file.grd -S -H0 -fig -V > new_file.xyz",
    }, false},
    {"mn_grdtrack", "grdtrack", {
        "echo *\r\n"
        "echo ****** running grid track ...\r\n",
        "grdtrack x_resampled -G%used_grd% -H0 -R%region%  -fig  -V | gawk-w32 \"{print $2, $3}\" > %out_file%\r\n",
    }, true},
    {"mn_grdmath", "grdmath", {
        "echo *\r\n"
        "echo ****** running grid math ...\r\n",
        "grdmath %in_file%.grd 0.4 MUL -V = %out_file%.grd\r\n",
    }, true},
    {"mn_sample1d", "sample1d", {
        "echo *\r\n"
        "echo ****** interpolating between data ...\r\n",
        "sample1d %in_file% -I0.02 -H0 -Fl -T0  -V | gawk-w32 \"{print $2, $3}\" > x_resampled\r\n",
    }, true},
    {"mn_cut_grid", "Cut && clip && sample grid", {
        "echo *\r\n"
        "echo ****** cut - clip and sample a grid ...\r\n"
        "\r\n",
        "grdcut in_file -Gx_cut -R%region% -fig -V\r\n",
        "grdclip x_cut -Gx_clip -Sa0/0 -V\r\n",
        "grdsample x_clip -R%region% -G%grd_file%.grd -I5m -fg -V\r\n",
        "del x_*.*\r\n"
        "\r\n",
    }, true},
    {"mn_masked_grid", "Make masked grid", {
        "REM ************ program steps to do\r\n"
        "\r\n"
        "set data_file=in_data.xyz\r\n"
        "set grd_file=new_grid\r\n"
        "set region=33/34/44/45\r\n"
        "set scale=m1:300000\r\n"
        "\r\n"
        "set gridding=1\r\n"
        "set clipping=1\r\n"
        "set illu=1\r\n"
        "\r\n"
        "\r\n"
        "\r\n"
        "if \"%gridding%\"==\"1\"  (\r\n"
        "echo *\r\n"
        "echo ************* creating a grid with blockmean and surface ...\r\n"
        "blockmean %data_file% -I5c  -R%region% -H0  -C -V -fig -bo > x_mean\r\n"
        "echo *\r\n"
        "surface x_mean -Gx_surf -I5c -R%region% -H0 -fig -bi -V\r\n"
        "echo *\r\n"
        "grdmath x_surf 1 MUL -V = x_math\r\n"
        "echo *\r\n"
        "grdclip x_math -Gx_clip -Sa-10/-10 -Sb-7000/-7000 -V\r\n"
        "grdsample x_clip -R%region% -G%grd_file%.grd -I2.5c -fg -V\r\n"
        ")\r\n"
        "\r\n"
        "if \"%clipping%\"==\"1\"  (\r\n"
        "echo *\r\n"
        "echo ************* mask grid file - this needs some time ...\r\n"
        "grdmask  x_mean -Gx_mask -I5c -S20c -R%region% -NNaN/NaN/1 -bi -fg -V\r\n"
        "rename %grd_file%.grd x_%grd_file%\r\n"
        "grdmath x_%grd_file% x_mask OR = %grd_file%.grd\r\n"
        "del x_*\r\n"
        ")\r\n"
        "\r\n"
        "if \"%illu%\"==\"1\" (\r\n"
        "echo *\r\n"
        "echo *************  running illumination steps ...\r\n"
        "grdgradient %grd_file%.grd -A330 -Gillu.grad  -Ne0.6 -M -V\r\n"
        "grdhisteq illu.grad -Gillu.eq -N -V\r\n"
        "grdmath illu.eq  0.3 MUL -V = ilu-%grd_file%.int\r\n"
        "del illu.*\r\n"
        ")\r\n"
        "\r\n",
    }, false},
    {"mn_illumination", "Illumination", {
        "echo *\r\n"
        "echo ****** running illumination steps ...\r\n"
        "\r\n",
        "REM grdgradient %grd_file%.grd -A45 -Gx_gradient -Ne0.6 -M -V\r\n",
        "REM grdhisteq x_gradient -Gx_histeq -N -V\r\n",
        "REM grdmath x_histeq  0.3 MUL -V = ilu-%grd_file%.int\r\n",
        "REM del x_*.*\r\n"
        "\r\n",
        "REM -Eazim/elev/ambient/diffuse/specular/shine \r\n"
        "grdgradient %grd_file%.grd -E45/60/4/1/0.2/10  -Gilu-%grd_file%.int  -Ne0.6  -V",
    }, true},
    {"mn_make_slope_file", "Make slope .grd file", {
        "echo *\r\n"
        "echo ****** making a grid of the slope in degrees ...\r\n"
        "set slope_file = slope_file\r\n"
        "\r\n"
        "grdgradient %grd_file%.grd  -Gx_grad  -Lg  -Sx_slope  -D -M  -V\r\n"
        "grdmath x_slope ATAN R2D -V = %slope_file%.grd\r\n"
        "del x_*\r\n"
        "\r\n",
    }, false},
    {"mn_srtm2grid", "Convert SRTM to grid", {
        "echo *\r\n"
        "echo *** converting binary xyz data from a SRTM 90m data set to a water-clipped grid\r\n"
        "\r\n"
        "set srtm_xyz_file=data_in\r\n"
        "set region=\r\n"
        "\r\n"
        "surface  %srtm_xyz_file% -Gx_srtm.grd -I3c -R%region% -H0 -fig -bi3 -V\r\n"
        "\r\n"
        "REM ****** -NNaN/1 clipps out the water , -N1/NaN clips out the land\r\n"
        "grdlandmask -R%region% -Df -I3c -NNaN/1 -Gx_land.grd -V\r\n"
        "grdmath x_srtm.grd x_land.grd OR -V = %grd_file%\r\n"
        "del x_*.*",
    }, false},

    // ---- Map menu ----
    {"mn_grdimage", "grdimage", {
        "echo *\r\n"
        "echo ****** drawing grid image ...\r\n",
        "grdimage %grd_file%.grd -J%scale% -R%region% -Iilu-%grd_file%.int -X2c -Y1.5c -Ccolor1.cpt -V -K > %ps_file%.ps\r\n",
    }, false},
    {"mn_grdcontour", "grdcontour", {
        "echo *\r\n"
        "echo ****** drawing contour lines ...\r\n",
        "grdcontour %grd_file%.grd -J%scale% -R%region% -Ba5mf1mg5mWSEN -A100tf5p -C20 -Q20 -Wa0.5p/0/0/0 -Wc0 -G5c/10 -V -O -K >> %ps_file%.ps\r\n",
    }, false},
    {"mn_grdview", "grdview", {
        "echo *\r\n"
        "echo ************* drawing 3D-view ...\r\n",
        "grdview %grd_file%.grd -J%scale% -R%region%/-4000/-2000 -E%elevation% -Iilu-%grd_file%.int -B%border%/a500f100NWseZ -Ccolor1.cpt -N-4000/200/200/200 -W0.5p -JZ2 -Qi250 -X4c -Y2c -V -K > %ps_file%_view.ps\r\n",
    }, false},
    {"mn_pscoast", "pscoast", {
        "echo *\r\n"
        "echo ************* draw coast line ...\r\n",
        "REM  national boundarys: -N1/0.8p/255/0/0\r\n",
        "REM -A0/0/1 draws only the cost line !\r\n",
        "REM draw scale with -L : e.g. -Lf-30/51/51:30/50n\r\n",
        "pscoast -J%scale% -R%region% -Dh -G200/200/200 -W0.5p/0/0/0 -C0/0/255 -I1/0.8p/0/0/255 -X1c -Y2c -V -O >> %ps_file%.ps\r\n",
    }, false},

    // ---- Color menu ----
    {"mn_makecpt", "makecpt", {
        "echo *\r\n"
        "echo ****** creating cpt file ...\r\n"
        "makecpt -Cseis -T-7000/-1000/100 -Z -V > color1.cpt\r\n",
    }, true},
    {"mn_grd2cpt", "grd2cpt", {
        "echo *\r\n"
        "echo ****** creating cpt file from grid ...\r\n"
        "grd2cpt %grd_file%.grd -Cseis -Z -V > color1.cpt\r\n",
    }, true},
    {"mn_psscale", "psscale", {
        "echo *\r\n"
        "echo  ************* draws the color scale\r\n",
        "REM -D10c/-2c/12c/0.4ch = horizontal scale\r\n",
        "psscale -D19c/6.5c/10c/0.4c -Ccolor1.cpt -E -Ba100f20g100:\"Water depth m\":  -V -O  >> %ps_file%.ps\r\n",
    }, false},

    // ---- Text / Plots menu ----
    {"mn_pstext", "pstext", {
        "echo *\r\n"
        "echo ************* write text from a file; station numbers\r\n",
        "pstext text_file.txt -J%scale% -R%region% -D0c/0.2c -G0/0/0 -C0.1c/0.05c -W255/255/255o -H1 -V -O -K >> %ps_file%.ps\r\n",
    }, false},
    {"mn_psxy", "psxy", {
        "echo *\r\n"
        "echo ************* draw symbols; station marks\r\n",
        "psxy station.txt -J%scale% -Sc0.2c -R%region% -H1 -G255/255/255 -W0.5p/0/0/0  -O -V -K >> %ps_file%.ps\r\n",
    }, false},
    {"mn_psxyz", "psxyz", {
        "echo *\r\n"
        "echo ************* draw a 3D line ...\r\n",
        "REM needed is a xyz file :e.g. longitude latitude depth\r\n",
        "psxyz track.xyz -J%scale% -R%region%/-4000/-2000 -E%elevation% -JZ2 -H0 -W1.3p/255/0/0  -V -O -K >> %ps_file%_view.ps\r\n",
    }, false},
    {"mn_psxy_value", "psxy (value)", {
        "echo *\r\n"
        "echo ************* draw symbols with value coded color\r\n",
        "REM needed is a text file with 3 columns: e.g. longitude latitude value\r\n",
        "psxy  value_xyz.txt -J%scale% -Sc0.2c -Ccolor1.cpt -R%region% -H0  -O -V -K  >> %ps_file%.ps\r\n",
    }, false},
    {"mn_psxyz_value", "psxyz (value)", {
        "echo * \r\n"
        "echo ******  drawing data coded by color and hight\r\n"
        "\r\n",
        "REM needed is a text file with 4 columns: e.g longitude latitude hight value\r\n"
        "\r\n",
        "psxyz in_file_xyhz.txt -R%region%/-0.5/13 -J%scale% -E%elevation% -So0.05c -Ccolor1.cpt -JZ1  -H0 -O -V >> %ps_file%\r\n",
    }, true},
    {"mn_stations", "Plot stations && names", {
        "echo *\r\n"
        "echo ****** plot station marks and labels ...\r\n",
        "REM ****** use gawk-w32 -F\\t for tab seperated text files with blancks in the text\r\n",
        "REM ****** {print x, y, fontsize , angle, fontno, justify, Text} / justify = L, C, R (left, center, right) and T, M, B (top, middle, bottom)\r\n",
        "set station_file = station.txt\r\n",
        "psxy %station_file% -J%scale% -Sc0.2c -R%region% -H0 -G255/255/255 -W0.5p/0/0/0  -O -V -K >> %ps_file%.ps\r\n",
        "gawk-w32 \"{print $1, $2, 8 ,0 ,1 ,1 , $3}\" %station_file% | pstext -J%scale% -R%region% -D0c/-0.5c -G0/0/0 -C0.1c/0.05c -W255/255/255o -H0 -V -O -K >> %ps_file%.ps\r\n",
    }, true},

    // ---- Tools menu ----
    {"mn_gmtconvert", "gmtconvert (binary2ascii)", {
        "echo *\r\n"
        "echo ****** convert binary 2 ASCII data ...\r\n",
        "gmtconvert Input_Files -H0 -bi3 -V > ascii_data.txt\r\n",
    }, true},
    };
}

std::vector<SnippetMenuEntry> buildSnippets()
{
    return {
    // ---- "DOS script commands" button ----
    {"dos", {"if", "If ... question", {
        "set var1=1\r\n"
        "if \"%var1%\"==\"1\" (\r\n"
        "\r\n"
        "\r\n"
        ")",
    }, false}},
    {"dos", {"fordo", "For / Do (( ... )) loop", {
        "for %%f IN (-path-\\*.txt) DO (\r\n"
        "\r\n"
        "gmt-command with %%f as file input\r\n"
        "\r\n"
        ")",
    }, false}},

    // ---- "AWK scripts" button ----
    {"awk", {"colum", "Take specific columns", {
        "gawk \"{print $1, $2, $4}\" in_file | gmt-command\r\n",
    }, false}},
    {"awk", {"plottext", "Plot text from xyt file", {
        "echo *\r\n"
        "echo ****** writing text from a file ...\r\n",
        "REM ****** use gawk -F\\t for tab seperated text files with space in the text\r\n",
        "gawk-w32 \"{print $1, $2, 8 ,0 ,1 ,1 , $3}\" file_name | pstext -J%scale% -R%region% -D0c/-0.5c -G0/0/0 -C0.1c/0.05c -W255/255/255o -H0 -V -O -K >> %ps_file%.ps",
    }, false}},
    // The awk program is written to %awk_name% and run by the gawk line; that
    // line goes in without its line end, which arrives with the last piece.
    {"awk", {"ploteach", "Plot each xth line of a file", {
        "REM creating awk script which selects each xth line change the number in 'if((count==61))'\r\n"
        "\r\n"
        "set awk_name=count.awk\r\n"
        "\r\n"
        "echo Begin{count=0} > %awk_name%\r\n"
        "echo { >> %awk_name%\r\n"
        "echo if((count==61)) { >> %awk_name%\r\n"
        "echo {print $3, $2, 8 ,0 ,1 ,1 , $1} >> %awk_name%\r\n"
        "echo count=1; >> %awk_name%\r\n"
        "echo } >> %awk_name%\r\n"
        "echo count=count+1; >> %awk_name%\r\n"
        "echo } >> %awk_name%\r\n"
        "echo End {} >> %awk_name%\r\n"
        "\r\n",
        "gawk -f %awk_name% file_name |  pstext -J%scale% -R%region% -D0c/-0.5c -G0/0/0 -C0.1c/0.05c -W255/255/255o -H0 -V -O -K >> %ps_file%.ps",
        "\r\n"
        "\r\n"
        "del %awk_name%",
    }, false}},
    {"awk", {"extract", "Extract region from minmax", {
        "set in_file=nortsakh.txt\r\n"
        "\r\n"
        "minmax %in_file%  > x_mima0\r\n"
        "gawk -F\\t \"{print $2, $3, $4}\" x_mima0  > x_mima1\r\n"
        "gawk -F\"<\" \"{print $2, $3, $4}\" x_mima1  > x_mima2\r\n"
        "gawk -F\">\" \"{print $1, $2, $3}\" x_mima2  > x_mima3\r\n"
        "echo {print \"set region=\"$1\"/\"$2} > x_area\r\n"
        "echo {print \"set depth=\"$3} > x_dep\r\n"
        "gawk -f x_area x_mima3 > x_region.bat\r\n"
        "gawk -f x_dep x_mima3 > x_depth.bat\r\n"
        "Call x_region\r\n"
        "Call x_depth\r\n"
        "del x_*.*\r\n"
        "set region\r\n"
        "set depth\r\n",
    }, false}},
    {"awk", {"value_filter", "Filter lines by value", {
        "Begin{}\r\n"
        "{\r\n"
        "if(($3>0)) {\r\n",
        "print $1, $2, $3\r\n",
        "}}\r\n"
        "End{}",
    }, false}},
    };
}

#undef MQ_DATE_TIME

}  // namespace

const std::vector<ScriptTemplate>& scriptTemplates()
{
    static const std::vector<ScriptTemplate> table = buildTemplates();
    return table;
}

const std::vector<SnippetMenuEntry>& snippetMenuEntries()
{
    static const std::vector<SnippetMenuEntry> table = buildSnippets();
    return table;
}

const ScriptTemplate* findTemplate(std::string_view name)
{
    const auto& all = scriptTemplates();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [name](const ScriptTemplate& t) { return t.name == name; });
    return it == all.end() ? nullptr : &*it;
}

const ScriptTemplate* findSnippet(std::string_view key)
{
    const auto& all = snippetMenuEntries();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [key](const SnippetMenuEntry& e) { return e.snippet.name == key; });
    return it == all.end() ? nullptr : &it->snippet;
}

std::vector<std::string> expandPieces(const ScriptTemplate& tpl, std::string_view dateTime)
{
    std::vector<std::string> result;
    result.reserve(tpl.pieces.size());
    for (const std::string_view piece : tpl.pieces) {
        result.push_back(text::replace_all(piece, kDateTimeMarker, dateTime));
    }
    return result;
}

}  // namespace mq::catalogue
