# zelo's subcommands against one accessory through hidraw, hidapi and udev.
. "$(dirname "$0")/../lib.sh"
start_uhid standard
node=$(ls /sys/class/hidraw | head -1)
# The backend reads the report lengths from here.
[ -s "/sys/class/hidraw/$node/device/report_descriptor" ] || fail "no report descriptor in sysfs for $node"
run 0 "$zelo" list
expect '^0  standard  firmware [0-9.]+( \(firmware answers [0-9.]+\))?  loader 1.00  /dev/hidraw[0-9]+'
[ "$(wc -l < "$work/out")" -eq 1 ] || fail "list shows more than one accessory"
run 0 "$zelo" info
expect 'firmware'
run 0 "$zelo" show
run 0 "$zelo" export "$work/a.zelo"
sed 's/"deviceCode": "[0-9.]*"/"deviceCode": "12.34"/' "$work/a.zelo" > "$work/b.zelo"
run 0 "$zelo" -q import "$work/b.zelo"
run 0 "$zelo" show --json
expect '"deviceCode": "12.34"'
run 0 "$zelo" -q set settings.statusLed=false
run 0 "$zelo" show --json
expect '"statusLed": false'
run 0 "$zelo" -q reset
run 0 "$zelo" show --json
expect '"statusLed": true'
stop_uhid
echo PASS
