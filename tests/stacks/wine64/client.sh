# The library's exports under Wine from a C program: count, open, the
# firmware version, a command round trip, the IR status feature report,
# the serial tunnel to the Bluetooth module and cFlashUpgrade.
. "$(dirname "$0")/../lib.sh"
use_wine
start_uhid standard
ctl ir 0 15
run 0 "$wine" "$winbin/zelo-stack-client.exe"
expect '^count 1'
expect '^path \\\\\?\\hid#vid_3a71&pid_0009#'
expect '^firmware 1190'
expect '^loader 1.00'
expect '^ir 15'
expect '^module answered 40'
expect '^module pages before differ'
expect '^upgrade 0'
expect '^module pages after match'
# Wine's C runtime ends its lines with CR LF.
client_firmware=$(tr -d '\r' < "$work/out" | sed -n 's/^firmware after //p')
ctl dump > "$work/dump"
cat "$work/dump"
# The library's number is the version text times 1000 ("1.19" is 1190).
firmware=$(sed -n 's/.* firmware=\([^ ]*\) .*/\1/p' "$work/dump")
number=$(awk -v text="$firmware" 'BEGIN { printf "%d", text * 1000 + 0.5 }')
[ "$number" = "$client_firmware" ] || fail "the client read firmware $client_firmware after the upgrade, the accessory has $firmware"
grep -q ' module=synchronised ' "$work/dump" || fail "the module's boot loader was not synchronised by the tunnel"
ctl log 0 > "$work/log"
for page in 14 15 16; do
    grep -q "^command 58$page" "$work/log" || fail "cFlashUpgrade wrote no page 0x$page"
done
stop_uhid
echo PASS
