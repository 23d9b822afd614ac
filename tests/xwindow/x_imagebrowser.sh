#!/usr/bin/env bash
# The image browser on a real display: it opens with the focus on the file
# list (Space chooses the first picture and shows it), Enter takes it; the
# next time, also after a restart elsewhere, it opens in the folder of the
# last picture, where a name typed into the file-name box is taken.
source "$(dirname "$0")/xsession.sh"
x_start
mkdir -p "$WORK/pictures" "$WORK/elsewhere"
convert -size 60x40 'xc:rgb(20,40,220)' "BMP3:$WORK/pictures/blue.bmp"
convert -size 60x40 'xc:rgb(10,200,30)' "BMP3:$WORK/pictures/green.bmp"

cd "$WORK/pictures" || fail "no picture folder"
q_start
main=$(q_main)
q_tool "$main" 8
q_draw "$main" 20 20 120 100
browser=$(x_window "Load Image File ")
x_focus "$browser"
x_key space
x_until "the preview of blue.bmp" eval '[ "$(x_count "$(x_shot "$browser" blue.png)" 20,40,220)" -gt 1000 ]'
x_key Return
x_gone "$browser"
x_focus "$main"
x_until "the blue picture on the card" eval '[ "$(x_count "$(x_shot "$main" card1.png)" 20,40,220)" -gt 1000 ]'
q_save_as "$main" "$QHOME/saved/images.QRV"
q_quit

# Started from another folder: the browser opens where the last picture was.
cd "$WORK/elsewhere" || fail "no second folder"
q_start
main=$(q_main)
q_tool "$main" 8
q_draw "$main" 150 20 250 100
browser=$(x_window "Load Image File ")
x_focus "$browser"
x_key alt+n
x_type green.bmp
x_key Return
x_gone "$browser"
x_focus "$main"
x_until "the green picture beside the blue one" eval \
  '[ "$(x_count "$(x_shot "$main" card2.png)" 10,200,30)" -gt 1000 ]'
[ "$(x_count "$SHOTS/card2.png" 20,40,220)" -gt 1000 ] || fail "the reopened card lost its blue picture"
x_key ctrl+s
x_title "$main" "Quorvel - images.QRV"
dump=$(q_dump "$QHOME/saved/images.QRV")
[ "$(grep -c ': TGImage' <<<"$dump")" -eq 2 ] || fail "two images expected: $dump"
q_quit
