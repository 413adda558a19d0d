# hidapi lists a node once per top-level collection, all with the same
# path: an accessory with two is still one accessory.
. "$(dirname "$0")/../lib.sh"
collections=2 start_uhid standard
run 0 "$zelo" list
[ "$(wc -l < "$work/out")" -eq 1 ] || fail "list shows $(wc -l < "$work/out") accessories, not one"
run 0 "$zelo" info
stop_uhid
echo PASS
