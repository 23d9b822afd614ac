# The real-display test layer: sourced by the tests/xwindow/x_*.sh scripts.
# Starts a private X server (Xvfb) with a window manager, runs the program on
# it with the xcb platform, drives it with real X input (xdotool, XTest),
# waits for windows and states (never for fixed times), takes screenshots
# and reads pixels back. Everything it starts it ends on exit.
#
# The test scripts use:
#   x_start [WIDTHxHEIGHT]       X server + window manager (1280x1024 by default)
#   q_start [args...]            the program, in a private program folder ($QHOME)
#   x_window TITLE               waits until a window of that title shows; prints its id
#   x_gone ID                    waits until the window is no longer shown
#   x_key / x_type / x_click     keys, text, clicks (window-relative pointer positions)
#   x_shot ID FILE               screenshot of a window's client area, kept under $SHOTS
#   x_pixel FILE X Y             "r,g,b" of a screenshot's pixel
#   q_answers                    the program still answers (its About box opens and closes)
#   q_dump FILE                  the card file as the program's --dump prints it
#   fail MESSAGE                 ends the test with a screenshot of the screen
set -u

: "${QUORVEL_BIN:?QUORVEL_BIN names the program to test}"
TEST_NAME="$(basename "$0" .sh)"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/quorvel-$TEST_NAME.XXXXXX")"
SHOTS="${QUORVEL_SHOTS:-$WORK/shots}"
mkdir -p "$SHOTS"
QHOME="$WORK/home"
mkdir -p "$QHOME"
X_PIDS=()
QPID=""

x_cleanup() {
  local status=$?
  [ -n "$QPID" ] && kill "$QPID" 2>/dev/null
  local i
  for ((i = ${#X_PIDS[@]} - 1; i >= 0; i--)); do kill "${X_PIDS[$i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [ "$status" -eq 0 ] && [ -z "${QUORVEL_SHOTS:-}" ]; then rm -rf "$WORK"; else echo "Screenshots and files: $WORK" >&2; fi
  exit "$status"
}
trap x_cleanup EXIT
trap 'exit 1' INT TERM USR1

fail() {
  echo "FAIL ($TEST_NAME): $*" >&2
  if [ -n "${DISPLAY:-}" ]; then
    xwd -root -silent 2>/dev/null | convert xwd:- "png:$SHOTS/failure.png" 2>/dev/null &&
      echo "Screen at the failure: $SHOTS/failure.png" >&2
  fi
  # From inside $(...) the test itself is told to end.
  [ "$BASH_SUBSHELL" -gt 0 ] && kill -USR1 $$
  exit 1
}

# Tools this layer needs; without them the test is skipped (fails under CI=true).
x_require() {
  local missing=() t
  for t in Xvfb xdotool openbox xwd convert xprop xdpyinfo xclip; do
    command -v "$t" >/dev/null 2>&1 || missing+=("$t")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: missing ${missing[*]} (./test installs them)" >&2
    [ "${CI:-}" = true ] && exit 1
    exit 77
  fi
}

# One step of waiting for a state: gives up only when the program has gone.
x_tick() {
  if [ -n "$QPID" ] && ! kill -0 "$QPID" 2>/dev/null; then fail "the program ended while waiting for $1"; fi
  sleep 0.05
}
# Polls a command until it succeeds: x_until "what is awaited" command args...
x_until() {
  local what=$1
  shift
  until "$@"; do x_tick "$what"; done
}

x_start() {
  x_require
  local size=${1:-1280x1024}
  local fifo="$WORK/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo" 2>"$WORK/xvfb.log" &
  X_PIDS+=($!)
  local number
  read -r number <"$fifo" || fail "the X server did not start (see $WORK/xvfb.log)"
  export DISPLAY=":$number"
  x_until "the X server" xdpyinfo >/dev/null 2>&1
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  X_PIDS+=($!)
  x_until "the window manager" x_wm_running
}

# Ends the program, the window manager and the X server (before a second x_start).
x_stop() {
  [ -n "$QPID" ] && kill "$QPID" 2>/dev/null && wait "$QPID" 2>/dev/null
  QPID=""
  local i
  for ((i = ${#X_PIDS[@]} - 1; i >= 0; i--)); do kill "${X_PIDS[$i]}" 2>/dev/null; wait "${X_PIDS[$i]}" 2>/dev/null; done
  X_PIDS=()
  rm -f "$WORK/displayfd"
}

x_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The program's scale factor (QT_SCALE_FACTOR); positions inside its windows scale with it.
QSCALE=1
q_start() {
  # No print spooler: the built-in "PDF file" printer is the default, as on
  # a computer without printers, whatever spooler this machine runs.
  export QUORVEL_HOME="$QHOME" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$QSCALE CUPS_SERVER="$WORK/no-spooler"
  unset QT_QPA_PLATFORMTHEME
  "$QUORVEL_BIN" "$@" >"$WORK/program.log" 2>&1 &
  QPID=$!
}

# The id of a shown window whose title is exactly TITLE (newest first).
x_find() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1; }
x_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
x_window() {
  local title=$1 id=""
  until id=$(x_find "$title") && [ -n "$id" ] && x_viewable "$id"; do x_tick "the window \"$title\""; done
  echo "$id"
}
x_gone() { until ! x_viewable "$1"; do x_tick "window $1 to close"; done; }

# Gives a window the keyboard focus and waits until it has it.
# (The window manager's activation alone does not always reach the program
# after a dialog has closed, so the input focus is set as well.)
x_focus() {
  until [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; do
    xdotool windowactivate "$1" 2>/dev/null
    x_tick "window $1 to take the focus"
  done
  xdotool windowfocus --sync "$1" 2>/dev/null
}

x_key() { xdotool key "$@"; }
x_type() { xdotool type --delay 20 "$1"; }
# x_click ID X Y [button]: a click at a window-relative position.
x_click() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }
x_drag() {
  xdotool mousemove --window "$1" "$2" "$3" mousedown 1
  xdotool mousemove --window "$1" $(( ($2 + $4) / 2 )) $(( ($3 + $5) / 2 ))
  xdotool mousemove --window "$1" "$4" "$5" mouseup 1
}

# Fails unless the window with its frame lies within the screen.
x_inside() {
  local id=$1 what=$2 x y w h l r t b sw sh
  read -r x y w h <<<"$(x_geometry "$id")"
  read -r l r t b <<<"$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
  read -r sw sh <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"
  if [ $((x - ${l:-0})) -lt 0 ] || [ $((y - ${t:-0})) -lt 0 ] ||
    [ $((x + w + ${r:-0})) -gt "$sw" ] || [ $((y + h + ${b:-0})) -gt "$sh" ]; then
    fail "$what reaches past the ${sw}x${sh} screen: ${w}x${h} at $x,$y (frame $l $r $t $b)"
  fi
}

# Window geometry: prints "x y width height" of the client area on the screen.
x_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^  Width/{w=$NF} /^  Height/{h=$NF} END{print x, y, w, h}'
}

x_shot() {
  local file="$SHOTS/$2"
  xwd -id "$1" -silent | convert xwd:- "png:$file" || fail "no screenshot of window $1"
  echo "$file"
}
x_screen_shot() {
  local file="$SHOTS/$1"
  xwd -root -silent | convert xwd:- "png:$file" || fail "no screenshot of the screen"
  echo "$file"
}
x_pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# How many pixels of a screenshot (or of a region WxH+X+Y of it) have a
# colour "r,g,b" (exactly, or within FUZZ, e.g. 12%).
x_count() {
  local file=$1 rgb=$2 region=${3:-} fuzz=${4:-0}
  local crop=()
  [ -n "$region" ] && crop=(-crop "$region" +repage)
  # The colour is marked with an odd one first, so that black and white count too.
  convert "$file" "${crop[@]}" -alpha off -fuzz "$fuzz" -fill 'rgb(1,2,3)' -opaque "rgb($rgb)" -fuzz 0 \
    -fill black +opaque 'rgb(1,2,3)' -fill white -opaque 'rgb(1,2,3)' -format '%[fx:int(mean*w*h+0.5)]' info:
}

# How many windows are shown (menus and popups too).
x_shown_count() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
# Opens a menu of the main window with a click on its title in the menu bar
# (f File, e Edit, v View, h Help) and, once it shows, chooses an item by
# its underlined letter.
q_menu() {
  local main before x
  main=$(q_main)
  case $1 in f) x=19 ;; e) x=51 ;; v) x=86 ;; h) x=124 ;; *) fail "no menu $1" ;; esac
  before=$(x_shown_count)
  x_click "$main" $((x * QSCALE)) $((8 * QSCALE))
  until [ "$(x_shown_count)" -gt "$before" ]; do x_tick "the menu $1"; done
  shift
  x_key "$@"
}

# The program still answers: its About box opens from the Help menu and closes.
q_answers() {
  local main
  q_menu h a
  local about
  about=$(x_window "About Quorvel")
  x_focus "$about"
  x_key Return
  x_gone "$about"
}

q_dump() { QT_QPA_PLATFORM=offscreen "$QUORVEL_BIN" --dump "$1"; }

# The largest area of one colour "r,g,b" in a screenshot, as "x y width height".
x_area() {
  convert "$1" -fill black +opaque "rgb($2)" -define connected-components:verbose=true \
    -connected-components 4 null: 2>/dev/null |
    awk -v want="($2)" 'index($0, want) && $0 !~ /\(0,0,0\)/ { if ($4 > best) { best = $4; box = $2 } }
      END { if (box == "") exit 1; split(box, a, /[x+]/); print a[3], a[4], a[1], a[2] }'
}

# The main window, given the keyboard focus.
q_main() {
  local main
  main=$(x_window "Quorvel.*")
  x_focus "$main"
  echo "$main"
}

# The card on the main window: "x y width height" of its white face in the
# window's client area.
q_card() {
  local box="" last=""
  # The same box on two screenshots in a row: the window has painted and
  # the card has taken its size.
  until box=$(x_area "$(x_shot "$1" card-find.png)" 255,255,255) && [ "$box" = "$last" ]; do
    last=$box
    x_tick "the card"
  done
  echo "$box"
}

# Chooses a drawing tool: the buttons of the tool bar in their order (0 is
# the selection tool, 1 text, 2 multi-line text, 3 symbol, 4 rectangle,
# 5 ellipse, 6 rounded rectangle, 7 line, 8 image, 9 SuperShape, 10 rich
# text, 11 SuperText, 12 circle text, 13 QR code), 33 pixels apart.
q_tool() { x_click "$1" $(((19 + 33 * $2) * QSCALE)) $((37 * QSCALE)); }

# Draws with the current tool from one card position to another (card pixels).
q_draw() {
  local card
  read -r cx cy _ _ <<<"$(q_card "$1")"
  x_drag "$1" $((cx + $2)) $((cy + $3)) $((cx + $4)) $((cy + $5))
}

# Saves the card under a path through the Save As dialog (Ctrl+Shift+S) and
# waits until the title names it.
q_save_as() {
  local main=$1 path=$2
  x_focus "$main"
  x_key ctrl+shift+s
  local dialog
  dialog=$(x_window "Save Business Card As")
  x_focus "$dialog"
  x_key ctrl+a
  x_type "$path"
  x_key Return
  x_gone "$dialog"
  x_title "$main" "Quorvel - $(basename "$path")"
}

# Waits until a window's title is TITLE.
x_title() {
  until [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; do x_tick "the title \"$2\""; done
}

# The palette window of a colour button: the shown window 72 pixels wide.
x_palette() {
  local id=""
  until id=$(x_window_of_width 72) && [ -n "$id" ]; do x_tick "the colour palette"; done
  echo "$id"
}
x_window_of_width() {
  local w
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q "^  Width: $1\$" && { echo "$w"; return; }
  done
}

# Ends the program through File > Exit; the question about saving is answered No.
q_quit() {
  local pid=$QPID ask
  q_menu f x
  # The program is expected to end now: waiting must not count that as a failure.
  QPID=""
  while kill -0 "$pid" 2>/dev/null; do
    ask=$(x_find "Save")
    if [ -n "$ask" ] && x_viewable "$ask"; then
      xdotool windowactivate "$ask" 2>/dev/null
      x_key n
    fi
    sleep 0.05
  done
  wait "$pid" 2>/dev/null
}
