#!/usr/bin/env bash
# End-to-end test of the window as a person uses it: vetradesk on a private
# Xvfb display, driven through the accessibility bus and real key presses,
# against vetrasim serving a pseudo-terminal.
#
#   run-e2e.sh BUILD_DIR SOURCE_DIR
#
# Exit code 0 passed, 1 failed, 77 a required tool is missing (ctest: skipped).
# E2E_OBJECTS sets how many objects the simulated instrument holds (the
# transfer must last long enough for keys to be pressed during it);
# E2E_WORK names the work folder (default: a new one below $TMPDIR or /tmp).
set -uo pipefail

usage="usage: run-e2e.sh BUILD_DIR SOURCE_DIR"
build=$(cd "${1:?$usage}" && pwd) || exit 1
source=$(cd "${2:?$usage}" && pwd) || exit 1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
self="$here/$(basename "${BASH_SOURCE[0]}")"
# Debian's interpreter: another python3 first on PATH may lack its packages.
python=/usr/bin/python3
objects=${E2E_OBJECTS:-400}

log() { echo "run-e2e: $*" >&2; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1 start=$SECONDS
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS - start >= limit)) && return 1
    sleep 0.2
  done
}

# ---------------------------------------------------------------------------
# Outer stage: checks the tools, then runs the inner stage in a session of its
# own, so that whatever it leaves behind can be found and ended by that id.

if [ -z "${E2E_STAGE:-}" ]; then
  skip() { log "skipped: $*"; exit 77; }
  for tool in Xvfb xauth xdpyinfo xdotool import dbus-run-session dbus-send mcookie setsid pgrep; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
  done
  [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher (at-spi2-core) is not installed"
  "$python" -c 'import pyatspi' 2>/dev/null || skip "$python cannot import pyatspi (python3-pyatspi)"
  for program in vetradesk vetrasim; do
    [ -x "$build/bin/$program" ] || { log "$build/bin/$program is missing: build first"; exit 1; }
  done

  work=${E2E_WORK:-$(mktemp -d "${TMPDIR:-/tmp}/vetradesk-e2e.XXXXXX")}
  mkdir -p "$work" || exit 1
  log "work folder $work"

  # The session bus's own notes (fd limits, service activation) are no news.
  E2E_STAGE=inner E2E_WORK_DIR=$work setsid dbus-run-session -- bash "$self" "$build" "$source" \
    2> >(grep -v '^dbus-daemon\[' >&2) &
  inner=$!
  # setsid makes the background job (not a group leader) the session leader itself.
  end_session() {
    local sid=$inner pids
    for signal in TERM KILL; do
      pids=$(pgrep -s "$sid" 2>/dev/null) || return 0
      # shellcheck disable=SC2086
      kill -"$signal" $pids 2>/dev/null
      wait_for 10 sh -c "! pgrep -s $sid" && return 0
    done
    log "processes of session $sid did not end: $(pgrep -s "$sid" | tr '\n' ' ')"
  }
  trap 'end_session; exit 1' INT TERM HUP
  wait "$inner"
  rc=$?
  end_session
  case $rc in
    0) log "passed" ;;
    77) log "skipped" ;;
    *) log "FAILED (exit code $rc); logs and screenshots in $work" ;;
  esac
  exit "$rc"
fi

# ---------------------------------------------------------------------------
# Inner stage, inside dbus-run-session: private folders, X server,
# accessibility bus, simulator, program, driver.

work=$E2E_WORK_DIR
started=()   # in start order; ended in reverse

cleanup() {
  local i pid
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    pid=${started[i]}
    kill -TERM "$pid" 2>/dev/null || continue
    wait_for 10 sh -c "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null
  done
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Nothing of the caller's desktop, settings or instrument set-up leaks in.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
       XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime TZ=Europe/Zurich LC_ALL=C.UTF-8
unset VETRADESK_PORTMAP VETRADESK_TRACE VETRADESK_USB_CLASS WAYLAND_DISPLAY SESSION_MANAGER \
      AT_SPI_BUS_ADDRESS QT_SCALE_FACTOR QT_STYLE_OVERRIDE
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Quelix" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 0700 "$XDG_RUNTIME_DIR"

link=$work/vetrameter
# COM1 is the simulator; every other port a search could try leads nowhere,
# so no real serial port of this machine is ever opened. The wizard's stored
# choices: a serial port, COM1 only, no scan.
"$python" - "$XDG_CONFIG_HOME/Quelix/settings.json" "$link" "$work" <<'EOF' || exit 1
import json, sys
path, link, work = sys.argv[1:]
ports = {f"COM{n}": {"string": link if n == 1 else f"{work}/no-such-port-{n}"} for n in range(1, 257)}
wizard = {"Express": 0, "DeviceType": 3, "CommPort": 1, "ComPort": 1, "Scan": 0, "Stop Scan": 1}
keys = {
    "Software\\Quelix\\Vetradesk\\Settings\\Ports": ports,
    "Software\\Quelix\\QxUpgrade\\Settings\\ConnWizard":
        {**{k: {"dword": v} for k, v in wizard.items()}, "IP Address": {"string": ""}},
}
with open(path, "w") as f:
    json.dump({"format": 1, "keys": keys}, f, indent=1)
EOF

# A free display: the first number without a lock file whose server starts.
export XAUTHORITY=$work/Xauthority
: >"$XAUTHORITY"
display=
for n in $(seq 90 199); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  xauth -q -f "$XAUTHORITY" add ":$n" . "$(mcookie)"
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -auth "$XAUTHORITY" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  if wait_for 30 sh -c "kill -0 $xvfb && DISPLAY=:$n xdpyinfo"; then
    started+=("$xvfb")
    display=:$n
    break
  fi
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
done
[ -n "$display" ] || { log "no X server could be started (see $work/xvfb.log)"; exit 1; }
export DISPLAY=$display
log "X server on $DISPLAY"

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
started+=($!)
# Asked only once it owns its name: an earlier question would make the
# session bus start a second launcher.
a11y_bus_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q 'boolean true'
}
wait_for 30 a11y_bus_up || { log "the accessibility bus did not start (see $work/at-spi.log)"; exit 1; }

"$build/bin/vetrasim" --link "$link" --generate "$objects" >"$work/vetrasim.log" 2>&1 &
started+=($!)
wait_for 30 test -e "$link" || { log "vetrasim made no link (see $work/vetrasim.log)"; exit 1; }

# Devices plugged in and out come through this FIFO: udev never announces a
# pseudo-terminal.
events=$work/device-events
rm -f "$events"
mkfifo "$events" || exit 1

(cd "$work" && QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
   VETRADESK_DEVICE_EVENTS=$events exec "$build/bin/vetradesk") >"$work/vetradesk.log" 2>&1 &
desk=$!
started+=("$desk")

"$python" "$here/drive.py" --work "$work" --source "$source" --link "$link" --objects "$objects" --pid "$desk" \
  --events "$events" ||
  exit 1
# The driver saw the program end after File › Exit: it must have ended well.
wait "$desk"
rc=$?
unset 'started[-1]'
[ "$rc" -eq 0 ] || { log "vetradesk ended with exit code $rc (see $work/vetradesk.log)"; exit 1; }
