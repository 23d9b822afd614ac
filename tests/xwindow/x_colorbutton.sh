#!/usr/bin/env bash
# The palette colour button with the real colour dialog, on a real display:
# a circle text is drawn, its font colour chosen through the palette's
# "Other" button in "Select Color" (typed in, confirmed), once cancelled;
# the button, the preview and the saved card show the colour, and the
# program still answers.
source "$(dirname "$0")/xsession.sh"
x_start
q_start
main=$(q_main)

q_tool "$main" 12
q_draw "$main" 30 20 130 100
dialog=$(x_window "CircleText Properties")
x_focus "$dialog"

# Text, Degrees, Starting Angle, Angled Characters, Mirrored, Font Color.
open_other() {
  x_key Tab Tab Tab Tab Tab space
  palette=$(x_palette)
  x_click "$palette" 20 108
  chooser=$(x_window "Select Color")
  x_focus "$chooser"
}

# Cancel first: the palette comes back and Escape closes it without a choice.
open_other
x_key Escape
x_gone "$chooser"
palette=$(x_palette)
x_key Escape
x_gone "$palette"

# Then a colour typed into the dialog's HTML box: 200, 30, 40.
x_focus "$dialog"
x_key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
open_other
x_key alt+h ctrl+a
x_type '#c81e28'
x_key Return
x_gone "$chooser"
# Back to the text box, whose Enter is the dialog's "Ok".
x_key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
x_until "the button and the preview to show the colour" eval \
  '[ "$(x_count "$(x_shot "$dialog" dialog.png)" 200,30,40)" -gt 500 ]'
x_key Return
x_gone "$dialog"
x_focus "$main"
x_until "the circle text to paint in the colour" eval \
  '[ "$(x_count "$(x_shot "$main" card.png)" 200,30,40)" -gt 50 ]'
q_answers

q_save_as "$main" "$QHOME/saved/color.QRV"
dump=$(q_dump "$QHOME/saved/color.QRV")
grep -q 'object Special1: TGPCircleText' <<<"$dump" || fail "no circle text saved: $dump"
# 200 + 30 * 256 + 40 * 65536: red in the lowest byte.
grep -q 'Font.Color = 2629320' <<<"$dump" || fail "the chosen colour is not saved: $dump"
q_quit
