# ZELO_RequestNotification under Wine: a C program's window receives
# WM_DEVICECHANGE when the control channel pulls the accessory and when it
# plugs it again, and ZELO_GetDeviceInfo names the accessory in both.
. "$(dirname "$0")/../lib.sh"
use_wine
start_wine_desktop
start_uhid standard
out=$work/client.out
"$wine" "$winbin/zelo-stack-client.exe" notify > "$out" 2>&1 &
client=$!
# True too once the client has ended, so that a failed client is not waited for.
waiting_for() { grep -q "^waiting for $1" "$out" || ! kill -0 "$client" 2>/dev/null; }
wait_for 300 "window waiting for the removal" waiting_for removal
ctl unplug 0
wait_for 300 "window waiting for the arrival" waiting_for arrival
ctl plug 0
wait "$client"
status=$?
cat "$out"
[ "$status" -eq 0 ] || fail "the client exited with $status"
grep -q '^removal matches' "$out" || fail "no removal notification named the accessory"
grep -q '^arrival matches' "$out" || fail "no arrival notification named the accessory"
stop_uhid
echo PASS
