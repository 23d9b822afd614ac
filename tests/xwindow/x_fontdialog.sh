#!/usr/bin/env bash
# The font dialog with the real colour dialog beside it, on a real display:
# a circle text (face Arial, which this computer shows with a substitute)
# gets a new size and a text colour through "Select Font"; the face it
# stores stays Arial, and size and colour are saved.
source "$(dirname "$0")/xsession.sh"
x_start
q_start
main=$(q_main)

q_tool "$main" 12
q_draw "$main" 30 20 150 120
dialog=$(x_window "CircleText Properties")
x_focus "$dialog"
# Text, Degrees, Starting Angle, Angled Characters, Mirrored, Font Color, Select Font.
x_key Tab Tab Tab Tab Tab Tab space
font=$(x_window "Font")
x_focus "$font"
x_key alt+s ctrl+a
x_type 20
x_key alt+c
chooser=$(x_window "Select Color")
x_focus "$chooser"
x_key alt+h ctrl+a
x_type '#1e64c8'
x_key Return
x_gone "$chooser"
x_focus "$font"
x_until "the sample to show the colour" eval '[ "$(x_count "$(x_shot "$font" font.png)" 30,100,200)" -gt 100 ]'
x_key Return
x_gone "$font"

x_focus "$dialog"
x_key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
x_gone "$dialog"
x_focus "$main"
x_until "the circle text to paint in the colour" eval \
  '[ "$(x_count "$(x_shot "$main" card.png)" 30,100,200)" -gt 50 ]'

q_save_as "$main" "$QHOME/saved/font.QRV"
dump=$(q_dump "$QHOME/saved/font.QRV")
grep -q "Font.Name = 'Arial'" <<<"$dump" || fail "the stored face changed: $dump"
# 20 points at 96 pixels per inch; blue 200, green 100, red 30.
grep -q 'Font.Height = -27' <<<"$dump" || fail "the size is not saved: $dump"
grep -q 'Font.Color = 13132830' <<<"$dump" || fail "the colour is not saved: $dump"
q_quit
