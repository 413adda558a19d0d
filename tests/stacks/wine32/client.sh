# The shipped i686 build under Wine's 32-bit half: the library's exports
# from the C client, as tests/stacks/wine64/client.sh judges them for the win64 build.
ZELO_STACKS_ARCH=i686
. "$(dirname "$0")/../wine64/client.sh"
