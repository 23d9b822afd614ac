#!/usr/bin/env bash
# Starts a CUPS scheduler with the PDF queue "Quorvel-PDF" as the default
# printer, so that the printing tests go through a real system printer. The
# queue (cups-pdf) writes each job as a PDF file named after the job,
# Quorvel-job_N.pdf, into the folder set as "Out" in /etc/cups/cups-pdf.conf.
#
# Needs root (it configures CUPS). Exits 0 when the queue is ready, else
# prints why and exits 1; the spooler tests then skip (or fail under CI=true).
set -u

QUEUE=Quorvel-PDF
PDF_CONF=/etc/cups/cups-pdf.conf
# cups-pdf's own default folder, one per user.
PDF_OUT='/var/spool/cups-pdf/${USER}'
# The queue reports an unprintable strip of 10.08 points (0.14 inch) on each
# edge of every paper, as many real printers do, so that the tests check
# that the strip is accounted for. The stock cups-pdf driver reports none.
STRIP_POINTS=10.08

say() { echo "start-cups: $*" >&2; }

if [ "$(id -u)" -ne 0 ]; then
  say "not running as root; the spooler tests will skip"
  exit 1
fi
for tool in cupsd lpadmin lpstat lpinfo; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || {
    say "$tool is missing (Debian packages cups and printer-driver-cups-pdf)"; exit 1; }
done
export PATH="$PATH:/usr/sbin"

# Sets "Key value" in the cups-pdf configuration, replacing any earlier line.
set_pdf_conf() {
  local key=$1 value=$2
  [ -f "$PDF_CONF" ] || { say "$PDF_CONF is missing (printer-driver-cups-pdf)"; exit 1; }
  if grep -q "^#\?$key " "$PDF_CONF"; then
    sed -i "s|^#\?$key .*|$key $value|" "$PDF_CONF"
  else
    echo "$key $value" >>"$PDF_CONF"
  fi
}
set_pdf_conf Out "$PDF_OUT"
# Files named after the job's name, with the job number after it:
# Quorvel-job_N.pdf.
set_pdf_conf TitlePref 1
set_pdf_conf Label 2

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

if ! scheduler_running; then
  mkdir -p /run/cups
  # Runs as a daemon of its own; no systemd needed.
  cupsd || { say "cupsd did not start"; exit 1; }
  for _ in $(seq 1 50); do
    scheduler_running && break
    sleep 0.2
  done
  scheduler_running || { say "the CUPS scheduler is not answering"; exit 1; }
fi

# Job files are written at once rather than within half a minute, so that
# the tests can read what the scheduler recorded of a job they just printed.
cupsctl DirtyCleanInterval=0 2>/dev/null || /usr/sbin/cupsctl DirtyCleanInterval=0 2>/dev/null || true
for _ in $(seq 1 50); do
  scheduler_running && break
  sleep 0.2
done

model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')
[ -n "$model" ] || model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF/ { print $1; exit }')
[ -n "$model" ] || { say "no cups-pdf driver found (printer-driver-cups-pdf)"; exit 1; }

lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m "$model" 2>/dev/null || { say "lpadmin could not create $QUEUE"; exit 1; }

# Give the queue's driver description its unprintable strip.
ppd=$(mktemp)
awk -v strip="$STRIP_POINTS" '
  /^\*ImageableArea [^:]*: "[0-9.]+ [0-9.]+ [0-9.]+ [0-9.]+"/ {
    match($0, /"[0-9.]+ [0-9.]+ [0-9.]+ [0-9.]+"/)
    split(substr($0, RSTART + 1, RLENGTH - 2), v, " ")
    printf "%s\"%s %s %.2f %.2f\"\n", substr($0, 1, RSTART - 1), strip, strip, v[3] - strip, v[4] - strip
    next
  }
  /^\*HWMargins:/ { printf "*HWMargins: %s %s %s %s\n", strip, strip, strip, strip; next }
  { print }' "/etc/cups/ppd/$QUEUE.ppd" >"$ppd"
lpadmin -p "$QUEUE" -E -P "$ppd" 2>/dev/null || { rm -f "$ppd"; say "lpadmin could not set the driver of $QUEUE"; exit 1; }
rm -f "$ppd"
# The driver's own default would take the title from inside the document.
lpadmin -p "$QUEUE" -o TitlePref=1 -o Label=2 2>/dev/null || true
lpadmin -d "$QUEUE" || { say "lpadmin could not make $QUEUE the default printer"; exit 1; }
cupsenable "$QUEUE" 2>/dev/null || /usr/sbin/cupsenable "$QUEUE" 2>/dev/null || true
cupsaccept "$QUEUE" 2>/dev/null || /usr/sbin/cupsaccept "$QUEUE" 2>/dev/null || true

lpstat -p "$QUEUE" >/dev/null 2>&1 || { say "$QUEUE is not listed"; exit 1; }
echo "start-cups: $QUEUE is the default printer; jobs go to $(grep '^Out ' "$PDF_CONF" | cut -d' ' -f2-)"
