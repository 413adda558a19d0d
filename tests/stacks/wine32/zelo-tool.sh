# The shipped i686 build under Wine's 32-bit half: zelo-tool.exe driven by
# zelo-runner, as tests/stacks/wine64/zelo-tool.sh judges the win64 build.
ZELO_STACKS_ARCH=i686
. "$(dirname "$0")/../wine64/zelo-tool.sh"
