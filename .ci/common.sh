# Shared by the set-up scripts: installs what the build needs and builds
# one CMake preset. Source it; it changes to the repository root.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wineprefix"

prepare_machine() {
    bash .ci/install-packages
    bash .ci/register-qemu-i386
}

# Builds one preset: every target, or only the targets given after it.
build_preset() {
    local preset=$1
    shift
    cmake --preset "$preset"
    cmake --build --preset "$preset" ${1:+--target "$@"}
}

prepare_wine_prefix() {
    bash .ci/wine-prefix "$WINEPREFIX"
}
