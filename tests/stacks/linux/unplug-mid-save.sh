# An unplug in the middle of a save, through the real kernel: the save
# fails, the accessory comes back, and --finish-save writes what was cut off.
. "$(dirname "$0")/../lib.sh"
start_uhid standard
ctl fault 0 unplug-mid-transfer count=40
run 1 "$zelo" -q set deviceCode=12.34
wait_for 20 "removal of the hidraw node" has_nodes 0
ctl plug 0
wait_for 20 "hidraw node after the replug" has_nodes 1
run 1 "$zelo" show --json
expect 'finish-save|keep-settings'
run 0 "$zelo" -q --finish-save show --json
expect '"deviceCode": "12.34"'
run 0 "$zelo" show --json
expect '"deviceCode": "12.34"'
stop_uhid
echo PASS
