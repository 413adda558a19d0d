# The accessory pulled during the page's Save: the failure is told, the tab
# keeps answering, and plugged in again the accessory is connected by itself.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/helpers"
start_uhid standard
browse unplug-mid-save
stop_uhid
echo PASS
