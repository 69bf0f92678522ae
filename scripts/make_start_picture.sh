#!/bin/sh
# Draws the start-page picture data/startbild.png: a T-account with "Soll" and
# "Haben", a small stack of coins and the program's name. Needs ImageMagick 6
# (convert) and the fonts-dejavu and fonts-liberation packages.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$here/../data/startbild.png"}

fonts=/usr/share/fonts/truetype
serif_bold=$fonts/dejavu/DejaVuSerif-Bold.ttf
sans=$fonts/dejavu/DejaVuSans.ttf
sans_bold=$fonts/dejavu/DejaVuSans-Bold.ttf
mono=$fonts/liberation/LiberationMono-Regular.ttf
mono_bold=$fonts/liberation/LiberationMono-Bold.ttf

ink='#1f4e5f'      # dark teal for lines and the name
paper='#fffdf6'
gold='#e0b12e'
gold_dark='#9c7412'

convert -size 834x386 gradient:'#f6f1e2'-'#e3ece6' \
  \
  -fill "$paper" -stroke '#c9c2ad' -strokewidth 2 \
  -draw 'roundrectangle 28,26 432,360 14,14' \
  \
  -stroke "$ink" -strokewidth 5 -fill none \
  -draw 'line 52,118 408,118' \
  -draw 'line 230,118 230,322' \
  \
  -stroke none -fill "$ink" \
  -font "$sans_bold" -pointsize 22 \
  -annotate +170+68 'Kasse' \
  -font "$sans_bold" -pointsize 20 \
  -annotate +58+108 'Soll' \
  -gravity NorthEast -annotate +434+88 'Haben' +gravity \
  \
  -font "$mono" -pointsize 17 -fill '#333333' \
  -annotate +58+150 'AB    1.500,00' \
  -annotate +58+178 '(2)     500,00' \
  -annotate +58+206 '(6)     300,00' \
  -annotate +244+150 '(1)     800,00' \
  -fill '#8b0000' \
  -annotate +244+178 'SB    1.500,00' \
  \
  -stroke '#333333' -strokewidth 1.5 \
  -draw 'line 112,278 212,278' -draw 'line 298,278 398,278' \
  -stroke none -fill '#333333' -font "$mono_bold" -pointsize 17 \
  -annotate +118+302 '2.300,00' \
  -annotate +304+302 '2.300,00' \
  -stroke '#333333' -strokewidth 1.5 \
  -draw 'line 112,312 212,312' -draw 'line 112,316 212,316' \
  -draw 'line 298,312 398,312' -draw 'line 298,316 398,316' \
  \
  -stroke none -fill "$ink" -font "$serif_bold" -pointsize 54 \
  -annotate +470+158 'Saldorama' \
  -fill '#4a6b61' -font "$sans" -pointsize 21 \
  -annotate +474+196 'Buchführung lernen und üben' \
  -stroke "$ink" -strokewidth 3 -draw 'line 472,214 795,214' \
  \
  -stroke "$gold_dark" -strokewidth 2 -fill "$gold" \
  -draw 'ellipse 700,332 62,16 0,360' \
  -draw 'rectangle 638,316 762,332' \
  -draw 'ellipse 700,316 62,16 0,360' \
  -draw 'rectangle 638,300 762,316' \
  -draw 'ellipse 700,300 62,16 0,360' \
  -draw 'rectangle 638,284 762,300' \
  -draw 'ellipse 700,284 62,16 0,360' \
  -stroke none -fill "$gold" \
  -draw 'rectangle 640,285 760,331' \
  -stroke "$gold_dark" -strokewidth 2 -fill none \
  -draw 'line 638,284 638,332' -draw 'line 762,284 762,332' \
  -draw 'arc 638,284 762,316 0,180' \
  -draw 'arc 638,300 762,332 0,180' \
  -draw 'arc 638,316 762,348 0,180' \
  -fill "$gold" -draw 'ellipse 700,284 62,16 0,360' \
  -stroke "$gold_dark" -strokewidth 2 -fill '#f2cd5c' \
  -draw 'ellipse 570,318 34,34 0,360' \
  -fill none -draw 'ellipse 570,318 27,27 0,360' \
  -stroke none -fill "$gold_dark" -font "$sans_bold" -pointsize 34 \
  -annotate +559+330 '€' \
  -strip "PNG24:$out"
