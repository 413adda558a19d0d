# IR commands the accessory receives, seen by ir watch through the feature
# report, and a pairing request.
. "$(dirname "$0")/../lib.sh"
start_uhid standard
"$zelo" ir watch > "$work/watch.out" 2> "$work/watch.err" &
watcher=$!
wait_for 20 "start of ir watch" grep -q watching "$work/watch.err"
ctl ir 0 15
wait_for 20 "PS printed by ir watch" grep -qx PS "$work/watch.out"
kill -INT "$watcher"
status=0
wait "$watcher" || status=$?
[ "$status" = 130 ] || fail "ir watch ended with $status on Ctrl-C, not the interrupt's 130"
run 0 "$zelo" pair
expect 'pairing started'
ctl dump | tee "$work/out"
grep -q ' pairing=0 ' "$work/out" && fail "the accessory got no pairing request"
stop_uhid
echo PASS
