# The library's exports under Wine from a C program: count, open, the
# firmware version, a command round trip and the IR status feature report.
. "$(dirname "$0")/../lib.sh"
use_wine
start_uhid standard
ctl ir 0 15
run 0 "$wine" "$win64/zelo-stack-client.exe"
expect '^count 1'
expect '^path \\\\\?\\hid#vid_3a71&pid_0009#'
expect '^firmware 1190'
expect '^loader 1.00'
expect '^ir 15'
stop_uhid
echo PASS
