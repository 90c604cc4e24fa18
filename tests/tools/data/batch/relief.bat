@echo off
REM        GMT EXAMPLE
REM
REM Purpose:   Grid scattered points, contour the grid and add a colour scale
REM GMT progs: gmtset, blockmean, surface, makecpt, grdimage, grdcontour, psscale, grdinfo
REM DOS calls: echo, set, if exist, for, del
REM
set ps=relief.ps
set region=0/4/0/4
if exist %ps% del %ps%
gmtset PAPER_MEDIA = a4
gmtset HEADER_FONT_SIZE = 14p
echo # x y z: made-up heights, 100%% of them > points.xyz
echo 0.5 0.5 10>> points.xyz
echo 1.5 3.0 40>> points.xyz
echo 2.5 1.0 25>> points.xyz
echo 3.5 3.5 70>> points.xyz
echo 3.0 2.0 55>> points.xyz
echo 1.0 2.0 30>> points.xyz
blockmean points.xyz -R%region% -I0.5 -H1 > x_mean.xyz
surface x_mean.xyz -R%region% -I0.05 -Grelief.grd -T0.25
makecpt -Crainbow -T0/80/10 -Z > relief.cpt
grdimage relief.grd -JX12c -Crelief.cpt -Ba1:"East (km)":/a1:"North (km)"::."Made-up relief":WSne -K > %ps%
grdcontour relief.grd -J -C10 -A20 -W0.5p -O -K >> %ps%
psxy points.xyz -R -J -H1 -Sc0.25c -G255/255/255 -W0.5p -O -K >> %ps%
psscale -D13c/6c/10c/0.5c -Crelief.cpt -Ba20:"Height": -O >> %ps%
for %%f in (*.grd) do gmt grdinfo -C %%f
if not exist relief.cpt echo the colour table is missing
del x_*.*
del .gmt*
