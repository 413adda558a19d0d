# An accessory with old firmware: zelo reports it, refuses to write
# settings, and updates it through hidraw.
. "$(dirname "$0")/../lib.sh"
start_uhid standard:fw=1.10
run 0 "$zelo" firmware
expect 'firmware 1.10: out of date'
run 1 "$zelo" -q set deviceCode=12.34
expect 'zelo firmware update'
run 0 "$zelo" -q firmware update
run 0 "$zelo" firmware
expect '^firmware [0-9.]+( \(firmware answers [0-9.]+\))?: current'
ctl dump | tee "$work/out"
expect 'accessory 0: plugged .* boot-mode=0 '
expect 'firmware=[0-9.]+ ' 
grep -q 'firmware=1.10' "$work/out" && fail "the simulator still runs firmware 1.10"
stop_uhid
echo PASS
