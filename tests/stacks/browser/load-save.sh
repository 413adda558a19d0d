# The page finds the permitted accessory on load, reads it, and saves an
# edited macro and device code that the accessory then holds.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/helpers"
start_uhid standard
browse load-save
stop_uhid
echo PASS
