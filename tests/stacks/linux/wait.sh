# zelo wait hears an accessory plugged in while it waits (udev through the
# library's notification thread).
. "$(dirname "$0")/../lib.sh"
start_uhid standard
ctl unplug 0
wait_for 20 "removal of the hidraw node" has_nodes 0
run 3 "$zelo" wait --timeout 0.5
"$zelo" wait --timeout 60 > "$work/wait.out" 2>&1 &
waiter=$!
# Its udev monitor is open once it has a socket.
has_socket() { ls -l "/proc/$waiter/fd" | grep -q 'socket:'; }
wait_for 20 "udev monitor of zelo wait" has_socket
started=$(date +%s)
ctl plug 0
wait "$waiter" || fail "zelo wait ended with $?"
cat "$work/wait.out"
[ $(( $(date +%s) - started )) -lt 20 ] || fail "zelo wait took more than 20 s after the plug"
stop_uhid
echo PASS
