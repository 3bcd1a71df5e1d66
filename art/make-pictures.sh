#!/bin/sh
# Draws the chip-placement pictures shown beside the chip lists and writes
# them as JPEG files into app/gui/pictures/ (compiled into the program):
#   J0      the empty ZIF socket
#   J1      an 8-pin chip seated at the lever end, pin 1 top left
#   J2      the ten-pin ISP header with its pin-out
#   Image1  the picture shown before a chip has been chosen
# Needs ImageMagick's convert and the DejaVu fonts. Pictures are 240 x 338,
# twice the 120 x 169 they are shown at.
set -e
cd "$(dirname "$0")/.."
OUT=app/gui/pictures
mkdir -p "$OUT"
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
MONO=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
W=240
H=338
QUALITY=84

# Background: a light board with a faint grain, the same for every picture.
background() {
    convert -size ${W}x${H} gradient:'#f2f2ec'-'#c9cdc4' \
        \( -size ${W}x${H} xc:gray50 -seed 4180 +noise Gaussian -blur 0x0.6 -colorspace gray \) \
        -compose overlay -define compose:args=12 -composite "$1"
}

# The socket body, its lever at the top end and two rows of twenty holes.
socket_draw() {
    holes=""
    i=0
    while [ $i -lt 20 ]; do
        y=$((70 + i * 13))
        holes="$holes circle 84,$y 84,$((y + 4)) circle 156,$y 156,$((y + 4))"
        i=$((i + 1))
    done
    echo "fill #1f4e8c stroke #0d2a50 stroke-width 2 roundrectangle 56,52 184,330 8,8 \
          fill #2f66b0 stroke none rectangle 62,58 178,324 \
          fill #c0c6cc stroke #5a6068 stroke-width 2 roundrectangle 188,44 198,130 3,3 \
          fill #d8dde2 stroke #5a6068 stroke-width 2 roundrectangle 182,16 204,50 6,6 \
          fill #b8962e stroke #3a3010 stroke-width 1 $holes"
}

background /tmp/ktr-bg.png

# J0: empty socket.
convert /tmp/ktr-bg.png -draw "$(socket_draw)" \
    -font "$FONT" -pointsize 16 -fill '#202020' -gravity north -annotate +0+14 'ZIF' \
    -quality $QUALITY "$OUT/J0.jpg"

# J1: an 8-pin chip in the four holes pairs nearest the lever, pin 1 top left.
CHIP="fill #c8ccd0 stroke #606060 stroke-width 1 \
      rectangle 76,64 92,76 rectangle 76,77 92,89 rectangle 76,90 92,102 rectangle 76,103 92,115 \
      rectangle 148,64 164,76 rectangle 148,77 164,89 rectangle 148,90 164,102 rectangle 148,103 164,115 \
      fill #1b1b1b stroke #000000 stroke-width 2 roundrectangle 88,58 152,122 4,4 \
      fill #3a3a3a stroke none arc 108,50 132,66 0,180 \
      fill #e8e8e8 circle 98,70 98,74"
convert /tmp/ktr-bg.png -draw "$(socket_draw)" -draw "$CHIP" \
    -font "$MONO" -pointsize 14 -fill '#d01010' -annotate +58+74 '1' \
    -font "$FONT" -pointsize 16 -fill '#202020' -gravity north -annotate +0+14 'ZIF' \
    -quality $QUALITY "$OUT/J1.jpg"

# J2: the ten-pin ISP header seen from above, odd pins on the left.
ISP="fill #202020 stroke #000000 stroke-width 2 roundrectangle 70,60 170,300 6,6 \
     fill #fafafa stroke none rectangle 64,160 70,200 \
     fill #d8b040 stroke #504010 stroke-width 1"
i=0
while [ $i -lt 5 ]; do
    y=$((84 + i * 48))
    ISP="$ISP rectangle 88,$((y - 9)) 106,$((y + 9)) rectangle 134,$((y - 9)) 152,$((y + 9))"
    i=$((i + 1))
done
convert /tmp/ktr-bg.png -draw "$ISP" \
    -font "$FONT" -pointsize 16 -fill '#202020' -gravity north -annotate +0+16 'ISP' -gravity northwest \
    -font "$MONO" -pointsize 13 -fill '#f0f0f0' \
    -annotate +92+77 '1' -annotate +134+77 '2' -annotate +92+125 '3' -annotate +134+125 '4' \
    -annotate +92+173 '5' -annotate +134+173 '6' -annotate +92+221 '7' -annotate +134+221 '8' \
    -annotate +92+269 '9' -annotate +131+269 '10' \
    -fill '#b01010' -pointsize 13 \
    -annotate +16+77 'MOSI' -annotate +178+77 'VCC' -annotate +16+125 'XTAL' \
    -annotate +24+173 'RST' -annotate +24+221 'SCK' -annotate +16+269 'MISO' -annotate +178+269 'GND' \
    -fill '#606060' -annotate +178+125 '-' -annotate +178+173 '-' -annotate +178+221 '-' \
    -quality $QUALITY "$OUT/J2.jpg"

# Image1: the socket with the place of a chip outlined.
PLACE="fill none stroke #d01010 stroke-width 3 stroke-dasharray 6,4 roundrectangle 86,56 154,124 4,4 \
       fill #d01010 stroke none polygon 120,160 108,140 132,140 \
       stroke #d01010 stroke-width 4 line 120,140 120,200"
convert /tmp/ktr-bg.png -draw "$(socket_draw)" -draw "$PLACE" \
    -font "$FONT" -pointsize 16 -fill '#202020' -gravity north -annotate +0+14 'ZIF' \
    -quality $QUALITY "$OUT/Image1.jpg"

rm -f /tmp/ktr-bg.png
ls -l "$OUT"
