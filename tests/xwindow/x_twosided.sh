#!/usr/bin/env bash
# Designing the back of a card and printing both sides on a real display: a
# rectangle on the front, a click on the "Back" switch above the card, an
# ellipse on the back; the card file read as a one-sided card shows the
# front; Print with "Both sides" ticked in the cell selection writes two
# pages, the rectangles on the first and the ellipses, mirrored across the
# sheet, on the second; Ctrl+Page Up shows the front again.
source "$(dirname "$0")/xsession.sh"
x_start
q_start
main=$(q_main)
read -r cx cy _ _ <<<"$(q_card "$main")"

q_tool "$main" 4
q_draw "$main" 20 20 120 70
x_click "$main" $((cx + 300)) $((cy + 180))

# The switch lies just above the card area, left: "Front", then "Back".
x_click "$main" $((87 * QSCALE)) $((68 * QSCALE))
empty_back() { [ "$(x_count "$(x_shot "$main" back.png)" 0,0,0 "110x60+$((cx + 15))+$((cy + 15))")" -eq 0 ]; }
x_until "the empty back" empty_back shown
q_tool "$main" 5
q_draw "$main" 200 100 300 170
x_click "$main" $((cx + 10)) $((cy + 180))
ellipse_shown() { [ "$(x_count "$(x_shot "$main" ellipse.png)" 0,0,0 "110x80+$((cx + 195))+$((cy + 95))")" -gt 100 ]; }
x_until "the ellipse on the back" ellipse_shown drawn

q_save_as "$main" "$QHOME/saved/two.QRV"
dump=$(q_dump "$QHOME/saved/two.QRV")
[ "$(grep -c '^object ' <<<"$dump")" -eq 1 ] || fail "a reader of one side should see the front's one object: $dump"
grep -q "Left = 20" <<<"$dump" || fail "the front's rectangle is not first in the file: $dump"

x_focus "$main"
x_key ctrl+p
cells=$(x_window "Print Cards")
x_focus "$cells"
x_shot "$cells" cells.png >/dev/null
# Only the first card ("None", then a click on it), "Both sides", then Ok.
x_click "$cells" $((137 * QSCALE)) $((280 * QSCALE))
x_click "$cells" $((68 * QSCALE)) $((69 * QSCALE))
x_click "$cells" $((222 * QSCALE)) $((189 * QSCALE))
chosen() {
  local shot
  shot=$(x_shot "$cells" chosen.png)
  [ "$(x_count "$shot" 0,0,0 "14x14+$((215 * QSCALE))+$((182 * QSCALE))")" -gt 4 ] &&
    [ "$(x_count "$shot" 255,0,0 "140x200+$((30 * QSCALE))+$((45 * QSCALE))")" -gt 100 ] &&
    [ "$(x_count "$shot" 255,0,0 "60x30+$((110 * QSCALE))+$((55 * QSCALE))")" -eq 0 ]
}
x_until "one card and Both sides to be chosen" chosen chosen
x_focus "$cells"
x_key Return
x_gone "$cells"
ask=$(x_window "Print to PDF File")
x_focus "$ask"
x_key ctrl+a
x_type "$WORK/two.pdf"
x_key Return
x_gone "$ask"
status=$(x_window "Print Status ")
until [ -s "$WORK/two.pdf" ] && [ "$(pdfinfo "$WORK/two.pdf" 2>/dev/null | awk '/^Pages:/{print $2}')" = 2 ]; do
  x_tick "the two pages"
done
x_focus "$status"
x_key Return
x_gone "$status"

# At 40 dpi: the front's rectangle of cell 1 lies at 0.96 to 2.00 inch
# across and 0.71 to 1.23 down; over the long edge its back lies in the
# second column, the ellipse at 6.33 to 7.37 across and 1.54 to 2.27 down.
pdftoppm -r 40 -png "$WORK/two.pdf" "$WORK/page" || fail "the pages do not render"
drawn() { x_count "$1" 0,0,0 "$2" 75%; }
[ "$(drawn "$WORK/page-1.png" "44x24+36+26")" -gt 20 ] || fail "the front page lacks the rectangle of cell 1"
[ "$(drawn "$WORK/page-2.png" "48x34+250+59")" -gt 20 ] || fail "the back page lacks the ellipse behind cell 1"
[ "$(drawn "$WORK/page-2.png" "48x34+110+59")" -eq 0 ] || fail "the back page has an ellipse in the front's column"

x_focus "$main"
x_key ctrl+Prior
front_again() { [ "$(x_count "$(x_shot "$main" front.png)" 0,0,0 "110x60+$((cx + 15))+$((cy + 15))")" -gt 100 ]; }
x_until "the front again" front_again shown
q_answers
q_quit
