# The Bluetooth module erased and restored through the serial tunnel.
. "$(dirname "$0")/../lib.sh"
start_uhid standard
run 0 "$zelo" -q module erase
ctl dump | tee "$work/out"
expect 'module-erased=1'
run 0 "$zelo" -q module restore
ctl dump | tee "$work/out"
expect 'module-erased=0'
stop_uhid
echo PASS
