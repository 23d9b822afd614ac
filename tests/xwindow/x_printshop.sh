#!/usr/bin/env bash
# Print-shop output on a real display: View > Safe Area frames in red the
# label that lies too near the card's top edge and draws the guides; File >
# Export > For a Print Shop... takes a bleed of 3 mm typed in millimetres
# and writes a PDF whose bleed box is the card plus 3 mm on every side, with
# crop marks outside it.
source "$(dirname "$0")/xsession.sh"
x_start
mkdir -p "$QHOME/saved"
cp "$QUORVEL_TEST_DATA/cards/label_defaults.qrv" "$QHOME/saved/edge.QRV"
q_start "$QHOME/saved/edge.QRV"
main=$(q_main)
x_title "$main" "Quorvel - edge.QRV"

read -r cx cy cw ch <<<"$(q_card "$main")"
card="${cw}x${ch}+${cx}+${cy}"
red() { x_count "$(x_shot "$main" "$1")" 220,0,0 "$card" 8%; }
[ "$(red before.png)" -lt 20 ] || fail "red frames before View > Safe Area"
q_menu v s
until [ "$(red guides.png)" -gt 100 ]; do x_tick "the red frame round the label at the edge"; done
[ "$(x_count "$SHOTS/guides.png" 0,160,80 "$card" 8%)" -gt 200 ] || fail "no green safe line"
q_menu v s
until [ "$(red after.png)" -lt 20 ]; do x_tick "the guides to go"; done

# The dialog: millimetres first, then 3 of them; Export... asks for the file.
# The Export submenu opens with its letter (Printer Setup, the other E, is
# off without a printer).
shown=$(x_shown_count)
q_menu f e
until [ "$(x_shown_count)" -gt $((shown + 1)) ]; do x_tick "the Export submenu"; done
x_key p
options=$(x_window "Export for a Print Shop")
x_focus "$options"
x_key Tab
x_type "m"
x_key shift+Tab ctrl+a
x_type "3"
x_shot "$options" options.png >/dev/null
x_key Return
x_gone "$options"
ask=$(x_window "Export for a Print Shop")
x_focus "$ask"
x_key ctrl+a
x_type "$WORK/shop.pdf"
x_key Return
until [ -s "$WORK/shop.pdf" ]; do x_tick "the print-shop PDF"; done
boxes=$(pdfinfo -box "$WORK/shop.pdf") || fail "pdfinfo cannot read the PDF"
trim=$(awk '/^TrimBox:/{printf "%.1f %.1f", $4 - $2, $5 - $3}' <<<"$boxes")
bleed=$(awk '/^BleedBox:/{printf "%.1f %.1f", $4 - $2, $5 - $3}' <<<"$boxes")
[ "$trim" = "252.0 144.0" ] || fail "trim box $trim, not the 3.5 x 2 in card"
[ "$bleed" = "269.0 161.0" ] || fail "bleed box $bleed, not the card plus 3 mm each side"
# Crop marks: dark pixels in the page's top-left corner, outside the bleed.
pdftoppm -r 300 -png "$WORK/shop.pdf" "$WORK/page" || fail "the PDF does not render"
[ "$(x_count "$WORK"/page-1.png 0,0,0 "80x2000+0+0" 50%)" -gt 20 ] || fail "no crop marks beside the card"
q_answers
q_quit
