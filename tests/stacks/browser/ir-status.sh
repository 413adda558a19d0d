# The page shows the IR command the accessory received (a feature report,
# which Linux hands back without its report-ID byte).
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/helpers"
start_uhid standard
browse ir-status
stop_uhid
echo PASS
