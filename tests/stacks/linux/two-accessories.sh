# Two accessories attached: list shows exactly two, each once.
. "$(dirname "$0")/../lib.sh"
start_uhid standard,x
run 0 "$zelo" list
[ "$(wc -l < "$work/out")" -eq 2 ] || fail "list shows $(wc -l < "$work/out") lines, not two"
expect '^0  '
expect '^1  '
stop_uhid
echo PASS
