#!/usr/bin/env bash
# Printing and export on a real display, through the program's own dialogs
# and Qt's print dialog, to the built-in PDF printer: a sheet of ten cards,
# the calibration page, a sheet for each of two people and an exported
# picture of the card; the pages and the picture show the card's orange ring.
source "$(dirname "$0")/xsession.sh"
x_start
mkdir -p "$QHOME/saved"
cp "$QUORVEL_TEST_DATA/cards/shapes.qrv" "$QHOME/saved/shapes.QRV"
printf 'Name,Company\nAnn Archer,Acme\nBob Baker,Bakery\n' >"$WORK/people.csv"
q_start "$QHOME/saved/shapes.QRV"
main=$(q_main)
x_title "$main" "Quorvel - shapes.QRV"

# Pixels near the ring's orange (255, 165, 0) on a page rendered at 30 dpi.
orange_on_page() {
  pdftoppm -r 30 -f "$2" -l "$2" -png "$1" "$WORK/page" || fail "$1 does not render"
  x_count "$WORK"/page-*.png 255,165,0 "" 12%
  rm -f "$WORK"/page-*.png
}
# Saves through the "Print to PDF File" dialog and closes the status window.
print_to() {
  local ask status
  ask=$(x_window "Print to PDF File")
  x_focus "$ask"
  x_key ctrl+a
  x_type "$1"
  x_key Return
  x_gone "$ask"
  status=$(x_window "Print Status ")
  until [ -s "$1" ] && run_over "$status"; do x_tick "the finished run"; done
  x_focus "$status"
  x_key Return
  x_gone "$status"
}
# The status window's button says "OK" (narrow) once the run is over, "Cancel" before.
run_over() {
  local w h width
  read -r _ _ w h <<<"$(x_geometry "$1")"
  width=$(convert "$(x_shot "$1" status.png)" -crop "70x12+$((w / 2 - 35))+$((h - 28))" +repage \
    -colorspace gray -threshold 50% -negate -format '%w' -trim info:)
  [ "${width:-99}" -lt 25 ]
}

# A sheet: Print, the cell selection's Ok, a file.
x_key ctrl+p
cells=$(x_window "Print Cards")
x_focus "$cells"
x_key Return
x_gone "$cells"
print_to "$WORK/sheet.pdf"
[ "$(orange_on_page "$WORK/sheet.pdf" 1)" -gt 1650 ] || fail "the sheet lacks its ten rings"

# The calibration page, through the same file question as Print.
q_menu f c
print_to "$WORK/calibration.pdf"
pdftoppm -r 30 -png "$WORK/calibration.pdf" "$WORK/calibration" || fail "the calibration page does not render"
[ "$(x_count "$WORK"/calibration-1.png 0,0,0 "" 40%)" -gt 300 ] || fail "the calibration page shows no rulers"

# A sheet for each of two people.
q_menu f l
chooser=$(x_window "Print for Several People")
x_focus "$chooser"
x_type "$WORK/people.csv"
x_key Return
people=""
until people=$(xdotool search --onlyvisible --name '^Print for Several People$' 2>/dev/null | grep -v "^$chooser\$" | tail -1) &&
  [ -n "$people" ] && x_viewable "$people"; do x_tick "the list of people"; done
x_focus "$people"
x_key alt+p
print_to "$WORK/people.pdf"
[ "$(pdfinfo "$WORK/people.pdf" | awk '/^Pages:/{print $2}')" = 2 ] || fail "two sheets expected for two people"
[ "$(orange_on_page "$WORK/people.pdf" 2)" -gt 1650 ] || fail "the second person's sheet lacks the rings"

# Export: the file, then the resolution.
q_menu f e Return
export=$(x_window "Export Card")
x_focus "$export"
x_key ctrl+a
x_type "$WORK/card.png"
x_key Return
x_gone "$export"
options=$(x_window "Export Card")
x_focus "$options"
x_key Return
x_gone "$options"
until [ -s "$WORK/card.png" ]; do x_tick "the exported picture"; done
[ "$(identify -format '%wx%h' "$WORK/card.png")" = 1050x600 ] || fail "the card at 300 dpi is 1050x600"
[ "$(x_count "$WORK/card.png" 255,165,0 "" 12%)" -gt 5000 ] || fail "the exported card lacks its ring"
q_answers
q_quit
