#!/usr/bin/env bash
# Every window fits the screen and opens on it: on a 1600x900 screen at
# scale factor 2 (800x450 to the program) and on an 800x600 screen, the
# main window, the card layout dialog, the property dialogs of the larger
# objects, the list of people to print for and the help window lie wholly
# on the screen, and the program answers.
source "$(dirname "$0")/xsession.sh"
printf 'Name,Company,Title,Phone\nAnn Archer,Acme,Director,555-0101\nBob Baker,Bakery,Owner,555-0102\n' \
  >"$WORK/people.csv"

check_windows() {
  local main
  main=$(q_main)
  x_inside "$main" "the main window"

  # Edit > Change Business Card Layout (the last entry).
  q_menu e Up Return
  local layout
  layout=$(x_window "Business Card Layout")
  x_inside "$layout" "the card layout dialog"
  x_focus "$layout"
  x_key Escape
  x_gone "$layout"

  local tool title
  for tool in 9 11; do
    case $tool in 9) title="Super Shape Properties" ;; 11) title="SuperText Properties" ;; esac
    main=$(q_main)
    q_tool "$main" "$tool"
    q_draw "$main" 10 10 $((60 * QSCALE)) $((40 * QSCALE))
    local dialog
    dialog=$(x_window "$title")
    x_inside "$dialog" "$title"
    x_focus "$dialog"
    x_key Escape
    x_gone "$dialog"
  done

  # File > Print for Several People, with a list of two.
  q_menu f l
  local choose
  choose=$(x_window "Print for Several People")
  x_focus "$choose"
  x_type "$WORK/people.csv"
  x_key Return
  local people=""
  until people=$(xdotool search --onlyvisible --name '^Print for Several People$' 2>/dev/null | grep -v "^$choose\$" | tail -1) &&
    [ -n "$people" ] && x_viewable "$people"; do x_tick "the list of people"; done
  x_inside "$people" "the list of people"
  x_focus "$people"
  x_key Escape
  x_gone "$people"

  # F1 on the card opens the help window.
  main=$(q_main)
  x_key F1
  local help
  help=$(x_window "Quorvel Help.*")
  x_inside "$help" "the help window"
  x_focus "$help"
  x_key alt+F4
  x_gone "$help"
  q_answers
  q_quit
}

x_start 1600x900
QSCALE=2
q_start
check_windows

x_stop
x_start 800x600
QSCALE=1
rm -rf "$QHOME" && mkdir -p "$QHOME"
q_start
check_windows
