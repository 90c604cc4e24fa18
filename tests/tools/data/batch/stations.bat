REM        GMT EXAMPLE
REM
REM Purpose:   A station map with labels and a track
REM GMT progs: gmtset, pscoast, gmtmath, psxy, pstext
REM DOS calls: echo, del
REM
set ps=stations.ps
gmtset PAPER_MEDIA a4 ANOT_FONT_SIZE 10p
echo 12.5 45.5 Station A> stations.txt
echo 13.2 45.9 Station B>> stations.txt
echo 13.8 45.2 Station C>> stations.txt
echo # 100%% made up, one header line > track.txt
echo 12.2 44.8>> track.txt
echo 14.6 46.2>> track.txt
pscoast -R12/15/44.5/46.5 -JM15c -Ba1f30mg1:."Northern Adriatic": -Dl -G200/200/200 -S150/200/255 -W0.25p -K > %ps%
psxy track.txt -R -J -H1 -W1p/255/0/0 -O -K >> %ps%
gmt gmtmath -T12.5/14.5/0.5 T 0.5 MUL 39 ADD = | gmt psxy -R12/15/44.5/46.5 -JM15c -W0.5p,blue -O -K >> %ps%
psxy stations.txt -R -J -Sc0.3c -G255/0/0 -W0.5p -O -K >> %ps%
gawk "{print $1, $2+0.1, 10, 0, 1, \"BL\", $3, $4}" stations.txt | pstext -R -J -O >> %ps%
del .gmt*
del stations.txt
