# The shipped udev rule in the guest: udevadm test shows the uaccess tag on
# the node; with the plugdev line in force instead, a member of plugdev
# opens the accessory and a user outside it is told why he cannot.
. "$(dirname "$0")/../lib.sh"
rules=$ZELO_STACKS_REPO/packaging/linux/70-zelo.rules
installed=/etc/udev/rules.d/70-zelo.rules
cleanup_rule() { rm -f "$installed"; udevadm control --reload-rules; }
trap 'cleanup_rule; cleanup' EXIT
start_uhid standard
node=$(ls /sys/class/hidraw | head -1)

cp "$rules" "$installed"
udevadm control --reload-rules
run 0 udevadm test "/sys/class/hidraw/$node"
expect '^TAGS=.*:uaccess:'

# The plugdev alternative: the uaccess line commented out, the group line in.
sed -e '/^SUBSYSTEM==/s/^/# /' -e 's/^# \(SUBSYSTEM==.*plugdev.*\)/\1/' "$rules" > "$installed"
grep -q '^SUBSYSTEM==.*GROUP="plugdev"' "$installed" || fail "no plugdev line to put in force"
udevadm control --reload-rules
udevadm trigger --action=change "/sys/class/hidraw/$node"
has_group() { [ "$(stat -c %G:%a "/dev/$node")" = plugdev:660 ]; }
wait_for 20 "/dev/$node in group plugdev, mode 660" has_group
ls -l "/dev/$node"

useradd -M -N -G plugdev member
useradd -M -N outsider
for user in member outsider; do mkdir -p "/tmp/$user" && chown "$user" "/tmp/$user"; done
# The users run a copy of zelo and its libraries: the build tree may lie
# where only root may read (a clone under /root).
users_bin=/tmp/zelo-users-bin
mkdir -p "$users_bin"
cp "$zelo" "$(dirname "$zelo")"/*.so "$users_bin/"
chmod -R a+rX "$users_bin"
as() { runuser -u "$1" -- env ZELO_STATE_DIR="/tmp/$1" LD_LIBRARY_PATH="$users_bin" "${@:2}"; }
run 0 as member "$users_bin/zelo" list
expect "^0  standard .* /dev/$node\$"
run 0 as member "$users_bin/zelo" info
# list names the node this user may not open; info fails for want of an
# accessory it can open and says why, naming the rule.
run 0 as outsider "$users_bin/zelo" list
expect "may not open it .*/dev/$node"
run 3 as outsider "$users_bin/zelo" info
expect "may not open it .*/dev/$node"
expect '70-zelo.rules'
stop_uhid
echo PASS
