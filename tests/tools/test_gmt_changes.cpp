// What the GMT 6 check finds in a script and how mending rewrites it.
#include "tools/gmt_changes.h"

#include <doctest/doctest.h>

#include <string>

using namespace mq::tools;

TEST_CASE("gmt6_check and gmt6_mend")
{
    struct Row {
        const char* script;
        const char* found;  // "LINE:COLUMN old>new", "; " between; "!" marks a note, "?" one not mended,
                            // "&N" those mended only together
        const char* mended;
    };
    const Row rows[] = {
        // A gmtset line: the name only, TABs, blanks and CR LF kept.
        {"gmtset PAPER_MEDIA \t\t= a4\r\n", "1:1 >gmt  !; 1:8 PAPER_MEDIA>PS_MEDIA",
         "gmt gmtset PS_MEDIA \t\t= a4\r\n"},
        // Names without a GMT 6 form are reported, not mended; --NAME=value on any module.
        {"gmt set PLOT_DEGREE_FORMAT=ddd:mm N_COPIES 2\ngmt psxy a --X_ORIGIN=2c -Jx1",
         "1:9 PLOT_DEGREE_FORMAT>FORMAT_GEO_MAP; 1:35 N_COPIES> ?; 2:14 X_ORIGIN>MAP_ORIGIN_X",
         "gmt set FORMAT_GEO_MAP=ddd:mm N_COPIES 2\ngmt psxy a --MAP_ORIGIN_X=2c -Jx1"},
        // Comments, labels, echo and set text are not commands; a redirection's target is no option.
        {"REM psxy -H0\r\n:: psxy -H0\r\n:label\r\necho psxy -H0 (psxy -H0) > x\r\nset a=psxy -H0\r\n"
         "gmt psxy a > -H0\r\n",
         "", nullptr},
        // Module scope and conditions; %variables% are left alone.
        {"gmt psxyz t -E%elevation% -I3c -H\ngmt grdsample a -I10c/10c -I1m/2c -Icm -I%s% -F -Fx\n"
         "gmt grdgradient a -M -Mx\ngmt psscale -E -Gred\ngmt psbasemap -Gred\ngmt grdimage a -Sb",
         "1:13 -E%elevation%>-p%elevation%; 1:32 -H>-h; 2:17 -I10c/10c>-I10s/10s; 2:27 -I1m/2c>-I1m/2s; "
         "2:46 -F>-r; 3:19 -M>-fg; 4:13  -E> ?; 5:15 -Gred>-B+gred; 6:16 -Sb>-nb",
         "gmt psxyz t -p%elevation% -I3c -h\ngmt grdsample a -I10s/10s -I1m/2s -Icm -I%s% -r -Fx\n"
         "gmt grdgradient a -fg -Mx\ngmt psscale -E -Gred\ngmt psbasemap -B+gred\ngmt grdimage a -nb"},
        // GMT 6's own forms are left alone, GMT 4's -B keeps its %variables%, psscale's -E joins
        // the -D after it at the end of the line; forms that the check
        // cannot read exactly (a "+" in a label, the 3-D box, a reversed bar, a -D in a variable,
        // a text box beside GMT 4's text colour, a z-level without a view) are reported, not mended.
        {"gmt psbasemap -Bxa1+l\"a/b\" -By+t\"x:y\" -BWSen+tT -Ba1 -Bafg -B%b% -B%b%/a1NWseZ -Ba1:a+b: "
         "-Bsa1/a1WSen+\ngmt sample1d a -T0.02 -N0\ngmt sample1d a -I1 -T1\n"
         "gmt psscale -E -Dx1c/1c+w3c/1c+jML\ngmt psscale -D%pos% -E -D1/2/-3/4h\n"
         "gmt pstext a -W1p -W1c -Gred -Sred -F+f8p\ngmt pstext a -W255o -Gred -S1p\n"
         "gmt grdcontour a -Gd5c -Gn1/2c -G5c/10\ngmt pscoast -Zx -Z%z% -Z2",
         "1:66 -B%b%/a1NWseZ>-Bx%b% -Bya1 -BNWseZ; 1:80 -Ba1:a+b:>-Ba1+la+b ?; "
         "1:90 -Bsa1/a1WSen+>-Bsxa1 -Bsya1 -BWSen ?; 3:16 -I1>-T1 &1; 3:20 -T1>-N1 &1; "
         "4:13  -E> &2; 4:35 >+e &2; 5:21  -E> ?; "
         "5:24 -D1/2/-3/4h>-Dx1/2+w-3/4+h+jTC ?; 7:5 pstext> ?; 7:14 -W255o>-G255 -W ?; "
         "7:21  -Gred> ?; 7:27  -S1p> ?; 8:32 -G5c/10>-Gd5c ?; 9:23  -Z2> ?",
         "gmt psbasemap -Bxa1+l\"a/b\" -By+t\"x:y\" -BWSen+tT -Ba1 -Bafg -B%b% -Bx%b% -Bya1 -BNWseZ "
         "-Ba1:a+b: -Bsa1/a1WSen+\ngmt sample1d a -T0.02 -N0\ngmt sample1d a -T1 -N1\n"
         "gmt psscale -Dx1c/1c+w3c/1c+jML+e\ngmt psscale -D%pos% -E -D1/2/-3/4h\n"
         "gmt pstext a -W1p -W1c -Gred -Sred -F+f8p\ngmt pstext a -W255o -Gred -S1p\n"
         "gmt grdcontour a -Gd5c -Gn1/2c -G5c/10\ngmt pscoast -Zx -Z%z% -Z2"},
        // An increment in a variable: mended in its set line when that is the only one and the
        // option its only use.
        {"set step=10c/10c\r\nset two=3c\r\nset twice=1c\r\nset twice=2c\r\n"
         "gmt grdsample a -I%Step% -I%two% -I%twice% %two%\r\n",
         "1:10 10c/10c>10s/10s",
         "set step=10s/10s\r\nset two=3c\r\nset twice=1c\r\nset twice=2c\r\n"
         "gmt grdsample a -I%Step% -I%two% -I%twice% %two%\r\n"},
        // Pens: the slash before the colour; a fill or a pair of numbers is no pen.
        {"gmt psxy a -W0.5p/0/0/0 -Wa1/red -W1/2 -W255/0/0\ngmt pscoast -I1/0.8p/9/9/9\ngmt grd2xyz g -S -Sx "
         "-Lx",
         "1:12 -W0.5p/0/0/0>-W0.5p,0/0/0; 1:25 -Wa1/red>-Wa1,red; 2:13 -I1/0.8p/9/9/9>-I1/0.8p,9/9/9; 3:15 "
         "-S>-s",
         "gmt psxy a -W0.5p,0/0/0 -Wa1,red -W1/2 -W255/0/0\ngmt pscoast -I1/0.8p,9/9/9\ngmt grd2xyz g -s -Sx "
         "-Lx"},
        // Removed options take their blanks along; a "^" line end joins the next line.
        {"gmt psxy a ^\r\n  -M  -m -H0\r\n", "2:3   -M>; 2:7   -m>; 2:10 -H0>-h0",
         "gmt psxy a ^\r\n -h0\r\n"},
        // A renamed module without its prefix; pipes, "&" and blocks split commands.
        {"minmax a.txt > x\r\nif \"%a%\"==\"1\" (\r\ngawk x | pstext -H0 & ps2raster.exe x\r\n)\r\n",
         "1:1 >gmt  !; 1:1 minmax>gmtinfo; 3:10 >gmt  !; 3:17 -H0>-h0; 3:23 >gmt  !; 3:23 "
         "ps2raster.exe>psconvert",
         "gmt gmtinfo a.txt > x\r\nif \"%a%\"==\"1\" (\r\ngawk x | gmt pstext -h0 & gmt psconvert "
         "x\r\n)\r\n"},
    };
    for (const auto& row : rows) {
        CAPTURE(row.script);
        const auto findings = gmt6_check(row.script);
        std::string found;
        for (const auto& f : findings) {
            found += (found.empty() ? "" : "; ") + std::to_string(f.line) + ":" + std::to_string(f.column) +
                     " " + f.old_text + ">" + f.new_text + (f.note ? " !" : "") + (f.mendable ? "" : " ?") +
                     (f.group ? " &" + std::to_string(f.group) : "");
            CHECK(f.message.find(f.note ? "gmt " : "GMT 6") != std::string::npos);
        }
        CHECK(found == row.found);
        CHECK(gmt6_mend(row.script, findings) == (row.mended ? row.mended : row.script));
    }
    // Malformed lines: no crash, and mending what is found never touches more.
    const std::string texts[] = {"^",
                                 "gmt",
                                 "gmt ^",
                                 "psxy \"-H0",
                                 "psxy -H0 >",
                                 "psxy 2>",
                                 "psxy -\r\r\n^\n",
                                 std::string("psxy -H\0 -M\0", 13),
                                 "psxy -Wa/0/0/0 -W/red -W1p/ -I/c -I3c/",
                                 "grdcontour -G -G/ -G5x -G5c/ -G- -B: -B/ -B:::: -B%a -B+ -BWSen+ -D/// -Dh",
                                 "psscale -E -D1/2/3/4h -E ^\n -Z -p\nsample1d -T -I\npstext -Wo -W/o -S",
                                 "psxy ((( ))) | & && || -H0 ^"};
    for (const std::string& text : texts) {
        CAPTURE(text);
        const auto findings = gmt6_check(text);
        for (const auto& f : findings) CHECK(text.compare(f.offset, f.length, f.old_text) == 0);
        CHECK(gmt6_check(gmt6_mend(text, findings)).size() <= findings.size());
    }
    // Stale findings (of another text) change nothing.
    CHECK(gmt6_mend("psxy a", gmt6_check("psxy a -H0 -H1")) == "gmt psxy a");
}
