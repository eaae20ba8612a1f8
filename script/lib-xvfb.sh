# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Shared by script/e2e and script/screenshot (source it, don't run it):
# builds the Debian package, unpacks it, and runs the unpacked program in a
# virtual X display with its accessibility tree on a private D-Bus session,
# driven by xdotool as a person would drive it.
#
# The caller sets ROOT (the repository) and SHOTS (where screenshots go).

VELTRUM_GUI_PACKAGES=(
  xvfb xdotool x11-utils imagemagick
  dbus dbus-x11 at-spi2-core python3-gi gir1.2-atspi-2.0
  dpkg-dev file fonts-dejavu-core
  weston qt6-wayland
)
ATSPI_LAUNCHER=/usr/libexec/at-spi-bus-launcher

log() { printf '[%s] %s\n' "$(date +%T)" "$*"; }

gui_setup() { "$ROOT/script/setup" "${VELTRUM_GUI_PACKAGES[@]}"; }

# Runs the calling script again inside its own D-Bus session bus, unless it
# already runs in one it started.
reexec_in_dbus_session() {
  if [ -z "${VELTRUM_DBUS_SESSION:-}" ]; then
    export VELTRUM_DBUS_SESSION=1
    exec dbus-run-session -- "$@"
  fi
}

# Builds the release preset and its Debian package; sets DEB.
build_package() {
  log "building the release preset"
  cmake --preset release >/dev/null
  cmake --build --preset release --parallel 2
  log "packing the Debian package"
  rm -f "$ROOT"/build/release/veltrum_*.deb
  (cd "$ROOT/build/release" && cpack -G DEB >/dev/null)
  DEB=$(ls "$ROOT"/build/release/veltrum_*.deb)
  log "package $(basename "$DEB"): $(stat -c %s "$DEB") bytes"
}

# Unpacks DEB into a new temporary directory; sets UNPACKED.
unpack_package() {
  UNPACKED=$(mktemp -d /tmp/veltrum-unpacked.XXXXXX)
  dpkg-deb -x "$DEB" "$UNPACKED"
  CLEANUP_DIRS+=("$UNPACKED")
}

CLEANUP_DIRS=()
XVFB_PID=
ATSPI_PID=
APP_PID=

# Starts Xvfb on a free display and the accessibility bus; exports DISPLAY.
# SCREEN_SIZE (default 1280x1024) is the virtual screen's size.
# A server that reports its display but does not take connections is
# replaced, a few times at most.
start_display() {
  local fdfile attempt _
  for attempt in 1 2 3; do
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1280x1024}x24" -nolisten tcp 3>"$fdfile" >>"$SHOTS/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
      [ -s "$fdfile" ] && break
      sleep 0.1
    done
    DISPLAY=":$(head -n1 "$fdfile" 2>/dev/null)"
    export DISPLAY
    rm -f "$fdfile"
    for _ in $(seq 50); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    log "Xvfb on $DISPLAY takes no connections (attempt $attempt); starting another"
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  done
  [ -n "$XVFB_PID" ] || { echo "Xvfb did not start (see $SHOTS/xvfb.log)" >&2; return 1; }
  # The accessibility bus, started now so that the program finds it at once.
  "$ATSPI_LAUNCHER" --launch-immediately >/dev/null 2>&1 &
  ATSPI_PID=$!
  for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      >/dev/null 2>&1 && break
    sleep 0.1
  done
  log "virtual display $DISPLAY"
}

# Starts the program (VELTRUM_PROGRAM, by default the unpacked package's
# usr/bin link) from an unrelated, empty working directory; sets APP_PID,
# APP_CWD and WINDOW (the X window).
# With SHARP_TEXT=1 text is drawn without antialiasing, so that every glyph
# pixel has exactly the text colour and colours can be counted.
start_program() {
  APP_CWD=$(mktemp -d /tmp/veltrum-cwd.XXXXXX)
  local runtime
  runtime=$(mktemp -d /tmp/veltrum-runtime.XXXXXX)
  CLEANUP_DIRS+=("$APP_CWD" "$runtime")
  local fonts=()
  if [ "${SHARP_TEXT:-0}" = 1 ]; then
    cat >"$runtime/fonts.conf" <<'XML'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
XML
    fonts=(FONTCONFIG_FILE="$runtime/fonts.conf")
  fi
  (cd "$APP_CWD" && exec env LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb \
      QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_RUNTIME_DIR="$runtime" "${fonts[@]}" \
      "${VELTRUM_PROGRAM:-$UNPACKED/usr/bin/veltrum}" "$@" >"$SHOTS/program.log" 2>&1) &
  APP_PID=$!
  WINDOW=
  local _
  for _ in $(seq 100); do
    WINDOW=$(xdotool search --onlyvisible --name '^Veltrum Voltage Control Program$' 2>/dev/null | head -n1) && [ -n "$WINDOW" ] && break
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$WINDOW" ] || { echo "the main window did not appear" >&2; return 1; }
  log "program $APP_PID, window $WINDOW"
}

# Ends what start_display and start_program started; runs from exit traps,
# so no failure here may stop it half way.
stop_all() {
  local pid
  for pid in "$APP_PID" "$ATSPI_PID" "$XVFB_PID"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  wait 2>/dev/null || true
  local dir
  for dir in "${CLEANUP_DIRS[@]}"; do rm -rf "$dir"; done
  CLEANUP_DIRS=()
}

atspi() { /usr/bin/python3 "$ROOT/script/lib-atspi.py" "$@"; }

# click "x y w h" [dx]: clicks the middle of a rectangle, or dx pixels from
# its left edge at half its height.
click() {
  local x y w h
  read -r x y w h <<<"$1"
  local cx=$((x + ${2:-$((w / 2))})) cy=$((y + h / 2))
  # No --sync: it waits for a motion that never comes when the pointer is
  # already there, as it is for a button pressed again.
  xdotool mousemove "$cx" "$cy" sleep 0.05 click 1
  sleep 0.15
}

# screenshot NAME: the whole screen into $SHOTS/NAME.png.
screenshot() {
  import -window root "$SHOTS/$1.png"
}

# window_shot FILE: the main window alone, cut out of the screen.
window_shot() {
  local geometry
  geometry=$(atspi find --role frame 'Veltrum Voltage Control Program')
  local x y w h
  read -r x y w h <<<"$geometry"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}

# pixels FILE "x y w h" COLOUR: how many pixels of exactly COLOUR (#RRGGBB)
# the rectangle of the screenshot holds.
pixels() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -alpha off -format %c histogram:info:- |
    awk -v colour="$3" 'toupper($3) == toupper(colour) { n = $1 + 0 } END { print n + 0 }'
}
red_pixels() { pixels "$1" "$2" '#FF0000'; }
