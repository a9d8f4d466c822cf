#!/usr/bin/env bash
# bvcam settings-ui against the simulated two-slot USB camera, with the
# camera's driver played by simdriver.exe from a process of its own: the
# dialog opens, a low-battery event reaches it, and the camera's final
# event closes it, after which bvcam prints the settings it reads back.
# Arguments: the demo folder, the Wine loader, simdriver.exe, a scratch
# folder. Runs on the display the caller provides.
set -euo pipefail
demo=$1 wine=$2 simdriver=$3 work=$4
samples="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/sim/cards"
port='\\.\Usbscan0'

rm -rf "$work"
cp -r "$demo" "$work"
cd "$work"
mkdir cards
cp -r "$samples/slot1" "$samples/slot2" cards/
cp "$samples/bvsim-sti.ini" "$simdriver" .
"$wine" bvsetup.exe install models.ini >/dev/null

"$wine" bvcam.exe --port usb settings-ui >bvcam.out 2>&1 &
bvcam=$!
# The channel exists once the camera is open and the dialog about to show.
for _ in $(seq 120); do
    "$wine" simdriver.exe "Brivant 350" "$port" >/dev/null 2>&1 && break
    sleep 0.5
done
"$wine" simdriver.exe "Brivant 350" "$port" battery 4
"$wine" simdriver.exe "Brivant 350" "$port" disconnect
status=0
wait $bvcam || status=$?
cat bvcam.out
echo "bvcam exit: $status"
