#!/usr/bin/env bash
# The rich-text editor on a real display: a click anywhere on the empty page
# and below the last line keeps the caret in the text; a size typed into the
# size box and confirmed with Enter applies to the typing and leaves the
# editor open; Ctrl+- and Ctrl++ zoom the page out and in again; RTF that
# another program put on the clipboard pastes with its pictures; Ok keeps
# the text, which the saved card holds.
source "$(dirname "$0")/xsession.sh"
x_start
q_start
main=$(q_main)

q_tool "$main" 10
q_draw "$main" 20 20 300 180
editor=$(x_window "Rich Text Editor")
x_focus "$editor"
read -r px py pw ph <<<"$(x_area "$(x_shot "$editor" empty.png)" 255,255,255)"

# A click low on the empty page, then typing.
x_click "$editor" $((px + pw / 2)) $((py + ph - 10))
x_type Hello
x_key Return
x_type World
# A click below the last line (a double click with the first, as quick as
# it comes) puts the caret at the end of the text.
x_click "$editor" $((px + pw / 2)) $((py + ph - 10))
x_type '!'
# The size box: the second box of the tool bar; Enter there is the box's own.
x_click "$editor" 232 26
x_key ctrl+a
x_type 24
x_key Return
x_type Big
x_until "the text in the editor" eval \
  '[ "$(x_count "$(x_shot "$editor" typed.png)" 0,0,0 "${pw}x${ph}+${px}+${py}" 50%)" -gt 400 ]'
x_viewable "$editor" || fail "Enter closed the editor"

# Ctrl+- makes the page smaller, Ctrl++ as large as it was; neither is typed.
x_key ctrl+minus
x_until "the page zoomed out" eval \
  '[ "$(x_area "$(x_shot "$editor" zoomed-out.png)" 255,255,255 | cut -d" " -f3)" -lt $((pw - 10)) ]'
x_key ctrl+plus
x_until "the page zoomed in again" eval \
  '[ "$(x_area "$(x_shot "$editor" zoomed-in.png)" 255,255,255 | cut -d" " -f3)" -ge $((pw - 2)) ]'

# A document of pandoc's, offered as text/rtf by another program.
xclip -quiet -selection clipboard -t text/rtf -i "$QUORVEL_TEST_DATA/rtf-documents/pandoc-card.rtf" &
clip=$!
x_until "the clipboard offering RTF" eval 'xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q text/rtf'
x_key ctrl+Home ctrl+v
# The pictures show: the PNG's red and blue halves.
x_until "the pasted pictures" eval \
  '[ "$(x_count "$(x_shot "$editor" pasted.png)" 224,16,16 "" 6%)" -gt 200 ] &&
   [ "$(x_count "$SHOTS/pasted.png" 16,48,208 "" 6%)" -gt 200 ]'
kill "$clip" 2>/dev/null

# "Ok": the first of the three buttons at the bottom right.
read -r _ _ ew eh <<<"$(x_geometry "$editor")"
x_click "$editor" $((ew - 223)) $((eh - 23))
x_gone "$editor"
x_focus "$main"
q_save_as "$main" "$QHOME/saved/rich.QRV"
dump=$(q_dump "$QHOME/saved/rich.QRV")
grep -q 'object Special1: TGPRichBaseLabel' <<<"$dump" || fail "no rich-text label saved: $dump"
rtf=$(grep -A200 'RTFText.Data' <<<"$dump" | tr -d '\n ')
# The dump shows the RTF bytes in hex: "Hello", "World!", "Big" at 24 points
# (\fs48), and the pasted pictures and table; no "+" or "-" was typed.
for word in Hello 'World!' 'fs48' Big pngblip jpegblip trowd; do
  hex=$(printf '%s' "$word" | od -An -tx1 | tr -d ' \n' | tr a-f A-F)
  grep -q "$hex" <<<"$rtf" || fail "the saved text lacks $word: $dump"
done
for typed in 'Big+' 'Big-'; do
  hex=$(printf '%s' "$typed" | od -An -tx1 | tr -d ' \n' | tr a-f A-F)
  ! grep -q "$hex" <<<"$rtf" || fail "the zoom keys typed into the text: $dump"
done
q_quit
