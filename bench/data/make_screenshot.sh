#!/bin/sh
# Makes screenshot.png, the benchmarks' picture of text and flat UI: a 1920x1080 desktop with an
# editor window (menu, toolbar, file list, anti-aliased monospaced text, status bar) and a dialog.
# Run from the repository's root; the checked-in file is its output (ImageMagick 6.9, DejaVu fonts).
set -e
out=${1:-bench/data/screenshot.png}
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The editor's text: this repository's own sources, as a programmer's screen shows them.
cat image/clsDIBSection.cpp | head -n 56 | cut -c1-150 >"$tmp/code.txt"
ls -1 image effects shell | head -n 40 >"$tmp/files.txt"
convert -size 1176x858 xc:white -font "$mono" -pointsize 13 -fill '#1e1e1e' \
  -annotate +8+16 "$(sed 's/%/%%/g; s/\\/\\\\/g' "$tmp/code.txt")" "$tmp/code.png"
convert -size 260x858 xc:'#f3f3f3' -font "$sans" -pointsize 13 -fill '#333333' \
  -interline-spacing 5 -annotate +12+20 "$(cat "$tmp/files.txt")" "$tmp/files.png"
convert -size 1920x1080 gradient:'#3a6ea5-#24476b' \
  -fill '#f0f0f0' -draw 'rectangle 60,40 1500,1010' \
  -fill '#2b579a' -draw 'rectangle 60,40 1500,70' \
  -font "$bold" -pointsize 13 -fill white -annotate +72+60 'clsDIBSection.cpp - Editor' \
  -fill '#e81123' -draw 'rectangle 1454,40 1500,70' -fill white -annotate +1471+60 'X' \
  -font "$sans" -fill '#000000' -annotate +72+88 'File    Edit    View    Search    Tools    Window    Help' \
  -fill '#e4e4e4' -draw 'rectangle 61,96 1499,126' \
  -fill '#c8c8c8' -draw 'rectangle 70,100 92,122' -draw 'rectangle 98,100 120,122' -draw 'rectangle 126,100 148,122' \
  -draw 'rectangle 160,100 182,122' -draw 'rectangle 188,100 210,122' \
  "$tmp/files.png" -geometry +61+127 -composite \
  -fill '#d0d0d0' -draw 'line 321,127 321,985' \
  "$tmp/code.png" -geometry +323+127 -composite \
  -fill '#007acc' -draw 'rectangle 61,986 1499,1009' \
  -fill white -annotate +72+1002 'Ln 12, Col 5    Spaces: 4    UTF-8    LF    C++' \
  -fill '#ffffff' -draw 'rectangle 1380,300 1820,520' -fill '#adadad' -draw 'rectangle 1380,300 1820,301' \
  -fill '#000000' -pointsize 14 -annotate +1400+340 'Save changes to clsDIBSection.cpp?' \
  -pointsize 12 -annotate +1400+370 'Your changes will be lost if you do not save them.' \
  -fill '#e1e1e1' -draw 'rectangle 1560,470 1640,500' -draw 'rectangle 1650,470 1730,500' \
  -fill '#0078d7' -draw 'rectangle 1740,470 1810,500' \
  -fill '#000000' -annotate +1580+490 'Save' -annotate +1665+490 "Don't" -fill white -annotate +1755+490 'Cancel' \
  -fill '#202020' -draw 'rectangle 0,1040 1919,1079' -fill white -annotate +1840+1065 '12:15' \
  -depth 8 -type TrueColor -define png:color-type=2 -strip "$out"
