# zelo-tool under Wine on a virtual X display, through winebus, driven from
# outside by zelo-runner as a user would: it reaches "Connected", a changed
# macro step is saved and then found on the accessory, and the accessory
# pulled by the control channel is shown as disconnected.
. "$(dirname "$0")/../lib.sh"
hold_ms=1234   # the power-off macro's first step holds 2500 ms out of the box
display_number=7
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
wait_for 60 "virtual display" test -S "/tmp/.X11-unix/X$display_number"
export DISPLAY=":$display_number"
use_wine_on_x11
start_wine_desktop
start_uhid standard
out=$work/runner.out
"$wine" "$winbin/zelo-runner.exe" --stage "$hold_ms" > "$out" 2>&1 &
runner=$!
# True too once the runner has ended, so that a failed run is not waited for.
waiting_for_removal() { grep -q 'waiting for removal' "$out" || ! kill -0 "$runner" 2>/dev/null; }
wait_for 600 "runner waiting for the removal" waiting_for_removal
ctl unplug 0
wait "$runner"
status=$?
cat "$out"
kill "$xvfb"
[ "$status" -eq 0 ] || fail "zelo-runner exited with $status"
grep -q 'status: ZE·LO Connected' "$out" || fail "zelo-tool never showed the accessory connected"
grep -q "saved hold time $hold_ms" "$out" || fail "the changed macro was not saved"
grep -q 'status after removal: Disconnected' "$out" || fail "zelo-tool did not show the pulled accessory disconnected"
ctl plug 0
wait_for 60 "hidraw node after the replug" has_nodes 1
run 0 "$zelo" show --json
grep -A3 '"steps"' "$work/out" | grep -q "\"holdMs\": $hold_ms" || fail "the accessory does not hold the saved macro step"
stop_uhid
echo PASS
