# zelo.exe under Wine: winebus takes the accessory's hidraw node, the
# library finds it through SetupDi and HidD and talks to it with
# overlapped ReadFile and WriteFile.
. "$(dirname "$0")/../lib.sh"
use_wine
start_uhid standard
run 0 "$wine" "$winbin/zelo.exe" list
expect '^0  standard  firmware [0-9.]+( \(firmware answers [0-9.]+\))?  loader 1.00  \\\\\?\\hid#vid_3a71&pid_0009'
[ "$(grep -c '^[0-9]' "$work/out")" -eq 1 ] || fail "list shows more than one accessory"
run 0 "$wine" "$winbin/zelo.exe" info
run 0 "$wine" "$winbin/zelo.exe" -q set deviceCode=12.34
run 0 "$zelo" show --json
expect '"deviceCode": "12.34"'
# Pulled in the middle of a save: the save fails, the accessory comes back.
ctl fault 0 unplug-mid-transfer count=40
run 1 "$wine" "$winbin/zelo.exe" -q set deviceCode=21.43
wait_for 60 "removal of the hidraw node" has_nodes 0
ctl plug 0
wait_for 60 "hidraw node after the replug" has_nodes 1
run 0 "$wine" "$winbin/zelo.exe" -q --finish-save show --json
expect '"deviceCode": "21.43"'
stop_uhid
echo PASS
