#!/bin/bash
# Draws the sample cards' pictures once (they are kept in the repository;
# nothing in the build runs this). Needs ImageMagick's convert.
#   bash sim/cards/make_pictures.sh
set -euo pipefail
cd "$(dirname "$0")"

W=640 H=480


# Sky gradient over rolling plasma hills.
landscape() {  # seed sky-top sky-bottom ground1 ground2 out
    convert -seed "$1" -size ${W}x${H} gradient:"$2"-"$3" \
        \( -size ${W}x150 plasma:"$4"-"$5" -blur 0x1.5 -modulate 100,45 \
           \( -size ${W}x150 xc:black -fill white -draw "ellipse 320,170 520,150 180,360" \) \
           -alpha off -compose copy-opacity -composite \) \
        -gravity south -compose over -composite \
        -strip -interlace none -sampling-factor 2x2 -quality 90 "$6"
}

# Evening sky with a low sun.
sunset() {  # seed top bottom out
    convert -seed "$1" -size ${W}x${H} gradient:"$2"-"$3" \
        -fill '#fff3b0' -draw "circle 400,330 400,285" -blur 0x3 \
        \( -size ${W}x80 plasma:'#202040'-'#403050' -blur 0x1 -modulate 80,30 \) -gravity south -composite \
        -strip -interlace none -sampling-factor 2x2 -quality 90 "$4"
}

# Soft colour fields.
plasma() {  # seed from to out
    convert -seed "$1" -size ${W}x${H} plasma:"$2"-"$3" -blur 0x4 -modulate 100,130 \
        -strip -interlace none -sampling-factor 2x2 -quality 90 "$4"
}

mkdir -p slot1/DCIM/100BRVNT slot1/DCIM/101BRVNT slot2/DCIM/100BRVNT slot2/MISC
landscape 11 '#2f6fd0' '#cfe6ff' '#2e7d32' '#9ccc65' slot1/DCIM/100BRVNT/BRV_0001.JPG
landscape 12 '#4a90e2' '#f0f7ff' '#6d8b2f' '#c5b358' slot1/DCIM/100BRVNT/BRV_0002.JPG
sunset    13 '#1a2a6c' '#fdbb2d' slot1/DCIM/100BRVNT/BRV_0003.JPG
plasma    14 '#ff7e5f' '#feb47b' slot1/DCIM/100BRVNT/BRV_0004.JPG
landscape 15 '#5b86e5' '#36d1dc' '#3a6b35' '#e3b448' slot1/DCIM/101BRVNT/BRV_0101.JPG
sunset    16 '#3a1c71' '#ffaf7b' slot1/DCIM/101BRVNT/BRV_0102.JPG
plasma    21 '#00c9ff' '#92fe9d' slot2/DCIM/100BRVNT/BRV_0201.JPG
landscape 22 '#1e3c72' '#a8c0ff' '#355c3a' '#8fbc8f' slot2/DCIM/100BRVNT/BRV_0202.JPG
sunset    23 '#0f2027' '#f7971e' slot2/DCIM/100BRVNT/BRV_0203.JPG
plasma    24 '#8e2de2' '#f5af19' slot2/MISC/SCAN_001.JPG
printf 'Sample card of the virtual Brivant 350.\r\n' > slot2/MISC/NOTES.TXT

# The camera's own pictures (resources of bvsim.dll): four small
# view-finder frames with the sun moving across, and the released picture.
for i in 1 2 3 4; do
    convert -seed $i -size 160x120 gradient:'#6fa8dc'-'#e6f0fa' \
        \( -size 160x40 plasma:'#3b6e2b'-'#8fbf5a' -blur 0x1 \) -gravity south -composite \
        -fill '#fff3b0' -draw "circle $((30 * i)),30 $((30 * i)),40" \
        -strip -interlace none -quality 80 ../camera/frames/frame$i.jpg
done
convert -seed 9 -size 640x480 gradient:'#203a70'-'#f0a060' -fill '#fff3b0' -draw "circle 320,330 320,280" \
    -blur 0x2 \( -size 640x120 plasma:'#202040'-'#504060' -blur 0x1 -modulate 80,40 \) -gravity south \
    -composite -strip -interlace none -quality 88 ../camera/frames/release.jpg
