#!/usr/bin/env bash
# bvcam port --choose: the communication settings dialog shows, RS-232C
# and COM4 are picked and OK pressed from another process, and the port printed is the
# one the library stored as the last port.
# Arguments: the demo folder, the Wine loader, press_button.exe, a scratch
# folder. Runs on the display the caller provides.
set -euo pipefail
demo=$1 wine=$2 press=$3 work=$4
caption=Kommunikationseinstellungen kind_list=1034 com_port_list=1039 ok=1064

rm -rf "$work"
cp -r "$demo" "$work"
cd "$work"
"$wine" bvsetup.exe install models.ini >/dev/null

"$wine" bvcam.exe port --choose >choose.out 2>&1 &
bvcam=$!
"$wine" "$press" "$caption" "$kind_list=1" "$com_port_list=3" "$ok"  # RS-232C comes second
status=0
wait $bvcam || status=$?
cat choose.out
echo "bvcam exit: $status"
echo "Stored:"
"$wine" bvcam.exe port --last
