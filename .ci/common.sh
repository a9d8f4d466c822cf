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

build_preset() {
    cmake --preset "$1"
    cmake --build --preset "$1"
}

prepare_wine_prefix() {
    bash .ci/wine-prefix "$WINEPREFIX"
}
