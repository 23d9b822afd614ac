#!/usr/bin/env bash
# Designing a card from scratch on a real display: a text label typed into
# its dialog and a rectangle drawn with the mouse; Undo takes the rectangle
# away and Redo brings it back; Enter does not save; the card is saved,
# and after a restart the program reopens it looking exactly as it did.
source "$(dirname "$0")/xsession.sh"
x_start
q_start
main=$(q_main)
read -r cx cy _ _ <<<"$(q_card "$main")"

q_tool "$main" 1
q_draw "$main" 20 20 220 50
text=$(x_window "Text")
x_focus "$text"
x_type "Jane Doe"
x_key Return
x_gone "$text"

x_focus "$main"
q_tool "$main" 4
q_draw "$main" 40 100 140 160
# Dark pixels where the rectangle is drawn (its outline and handles).
rectangle="110x70+$((cx + 35))+$((cy + 95))"
rectangle_shown() { [ "$(x_count "$(x_shot "$main" "$1.png")" 0,0,0 "$rectangle")" -gt 200 ]; }
rectangle_gone() { [ "$(x_count "$(x_shot "$main" "$1.png")" 0,0,0 "$rectangle")" -eq 0 ]; }
x_until "the rectangle" rectangle_shown drawn
# A click on the empty card takes the selection away.
x_click "$main" $((cx + 300)) $((cy + 180))
x_focus "$main"
x_key ctrl+z
x_until "Undo to take the rectangle away" rectangle_gone undone
x_key ctrl+y
x_until "Redo to bring the rectangle back" rectangle_shown redone
# Enter on the main window is no click on "Save": once the About box has
# come and gone (keys are handled in order), no save dialog has shown.
x_key Return
q_answers
[ -z "$(x_find "Save Business Card As")" ] || fail "Enter in the main window saved"
[ "$(xdotool getwindowname "$main")" = "Quorvel*" ] || fail "the card is no longer marked changed"

q_save_as "$main" "$QHOME/saved/design.QRV"
x_click "$main" $((cx + 300)) $((cy + 180))
read -r cx cy cw ch <<<"$(q_card "$main")"
before=$(x_shot "$main" before.png)
dump=$(q_dump "$QHOME/saved/design.QRV")
grep -q "Caption = 'Jane Doe'" <<<"$dump" || fail "the text is not saved: $dump"
[ "$(grep -c '^object ' <<<"$dump")" -eq 2 ] || fail "two objects expected: $dump"
q_quit

# Started again, the program reopens the card as it was.
q_start
main=$(q_main)
x_title "$main" "Quorvel - design.QRV"
same_card() {
  [ "$(compare -metric AE "$before" "$(x_shot "$main" after.png)" -crop "${cw}x${ch}+${cx}+${cy}" null: 2>&1)" = 0 ]
}
x_until "the reopened card to look as it did" same_card
q_answers
q_quit
