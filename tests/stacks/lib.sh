# Helpers for the scenarios: zelo-uhid in the background, its control
# channel, waits with a deadline and judgements that name what went wrong.
set -uo pipefail
bin=$ZELO_STACKS_BIN
zelo=$bin/zelo
work=$(mktemp -d)
control=$work/control
export ZELO_STATE_DIR=$work/zelo-state
unset ZELO_SIMULATOR
uhid_pid=

fail() {
    echo "FAIL: $*"
    exit 1
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND until it succeeds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$(( $(date +%s%N) + seconds * 1000000000 ))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$deadline" ] || fail "no $what within $seconds s"
        sleep 0.05
    done
}

hidraw_count() { ls /sys/class/hidraw 2>/dev/null | wc -l; }
has_nodes() { [ "$(hidraw_count)" -eq "$1" ] && udevadm settle --timeout=10; }

# start_uhid DESCRIPTION [NODES]: presents the accessories and waits for
# their hidraw nodes (NODES, one per accessory unless given) and udev.
# collections=N before it gives each device N top-level collections,
# interval_us=N spaces input reports N µs apart (1000 unless given).
start_uhid() {
    local description=$1
    local nodes=${2:-$(( $(tr -cd , <<< "$description" | wc -c) + 1 ))}
    local before
    before=$(hidraw_count)
    "$bin/zelo-uhid" --control "$control" --state-dir "$work" --collections "${collections:-1}" \
        --interval-us "${interval_us:-1000}" "$description" \
        > "$work/uhid.log" 2>&1 &
    uhid_pid=$!
    wait_for 20 "control channel of zelo-uhid" test -S "$control"
    wait_for 20 "hidraw node" has_nodes $(( before + nodes ))
}

stop_uhid() {
    [ -n "$uhid_pid" ] || return 0
    "$bin/zelo-uhid" --send "$control" quit >/dev/null 2>&1 || kill "$uhid_pid"
    wait "$uhid_pid"
    uhid_pid=
    wait_for 20 "removal of the hidraw nodes" has_nodes 0
}

ctl() {
    "$bin/zelo-uhid" --send "$control" "$@" || fail "control: $*"
}

# run EXPECTED_STATUS COMMAND...: runs it, shows its output and time, and
# judges its status.
run() {
    local expected=$1
    shift
    echo "\$ $*"
    local start=$(date +%s%N)
    "$@" > "$work/out" 2>&1
    local status=$?
    cat "$work/out"
    # The stage's budget is watched per command, not only per scenario.
    echo "(status $status in $(( ($(date +%s%N) - start) / 1000000 )) ms)"
    [ "$status" -eq "$expected" ] || fail "'$*' exited with $status, expected $expected"
}

# expect REGEX: the last run's output matches.
expect() {
    grep -Eq -- "$1" "$work/out" || fail "output lacks /$1/"
}

# Wine with the prefix the stage made (written to the overlay here); its
# programs from the win64 build, or from the shipped i686 build under
# Wine's 32-bit half with ZELO_STACKS_ARCH=i686. $winbin is the build's bin.
use_wine() {
    export WINEPREFIX=$ZELO_STACKS_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ "${ZELO_STACKS_ARCH:-x64}" = i686 ]; then
        [ -n "${ZELO_STACKS_WIN32:-}" ] || fail "the stage was given no win32 build"
        wine=/usr/lib/wine/wine
        winbin=$ZELO_STACKS_WIN32
    else
        [ -n "${ZELO_STACKS_WIN64:-}" ] || fail "the stage was given no win64 build"
        wine=/usr/lib/wine/wine64
        winbin=$ZELO_STACKS_WIN64
    fi
    # One server and its services (winebus among them) for every command:
    # starting them is most of a Wine program's start here.
    /usr/lib/wine/wineserver -p
    if ! "$wine" wineboot > "$work/wineboot.log" 2>&1; then
        cat "$work/wineboot.log"
        fail "wineboot failed"
    fi
}

# Wine's desktop process, started before a program that makes windows:
# started on demand, it takes longer here than the 10 s a program waits for
# it, and that program's windows fail (ERROR_INVALID_WINDOW_HANDLE).
start_wine_desktop() {
    local log=$work/desktop.log
    WINEDEBUG=+explorer /usr/lib/wine/wine64 explorer.exe /desktop > "$log" 2>&1 &
    desktop_up() { grep -q 'desktop message loop starting' "$log"; }
    wait_for 300 "Wine's desktop" desktop_up
}

# Switches the prefix, which later scenarios of the boot share, to the X11
# driver on DISPLAY until the scenario ends; then use_wine. Without a
# display the null driver's windows would fail theirs.
use_wine_on_x11() {
    use_wine
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f > /dev/null 2>&1 || fail "setting the X driver"
    restore_null_driver=1
    # The services must start again with the new driver.
    /usr/lib/wine/wineserver -k
    use_wine
}

cleanup() {
    if [ -n "${restore_null_driver:-}" ]; then
        "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
    fi
    [ -z "${WINEPREFIX:-}" ] || /usr/lib/wine/wineserver -k 2>/dev/null
    if [ -n "$uhid_pid" ]; then
        kill "$uhid_pid" 2>/dev/null
        wait "$uhid_pid" 2>/dev/null
    fi
    echo "---- zelo-uhid's log"
    cat "$work/uhid.log" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
