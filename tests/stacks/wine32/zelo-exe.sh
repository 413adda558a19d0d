# The shipped i686 build under Wine's 32-bit half: zelo.exe end to end,
# as tests/stacks/wine64/zelo-exe.sh judges them for the win64 build.
ZELO_STACKS_ARCH=i686
. "$(dirname "$0")/../wine64/zelo-exe.sh"
