# The shipped i686 build under Wine's 32-bit half: device notifications to the C client's window,
# as tests/stacks/wine64/notification.sh judges them for the win64 build.
ZELO_STACKS_ARCH=i686
. "$(dirname "$0")/../wine64/notification.sh"
