#!/usr/bin/env bash
# Uses the installed SDK as an application developer would: builds
# consumer/list_volumes.c outside the source tree and runs it under 32-bit
# Wine against the SDK's simulator, which lists the volumes of the
# simulated USB camera.
#   consumer.sh mingw   PREFIX SCRATCH WINE   find_package(Bvcl2sti), mingw
#   consumer.sh msvc    PREFIX SCRATCH WINE   clang for the MSVC target, lld-link, bvcl2sti.lib
#   consumer.sh refuse64 PREFIX SCRATCH       a 64-bit project is turned away
# PREFIX is the installed tree (cmake --install), SCRATCH a work folder.
set -euo pipefail
mode=$1 prefix=$2 scratch=$3/$1 wine=${4:-}
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/consumer"
mingw_lib=/usr/i686-w64-mingw32/lib

rm -rf "$scratch"
mkdir -p "$scratch"
cp -r "$source_dir" "$scratch/src"
cd "$scratch"

configure() {
    cmake -S src -B build -G Ninja -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER="$1" \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_EXE_LINKER_FLAGS=-static-libgcc
}

case $mode in
refuse64)
    if configure x86_64-w64-mingw32-gcc >configure.log 2>&1; then
        echo "A 64-bit project found the 32-bit SDK" >&2
        exit 1
    fi
    grep -q "bvcl2sti.dll is a 32-bit Windows library" configure.log || { cat configure.log; exit 1; }
    echo "The 64-bit project was refused: $(grep -o 'bvcl2sti.dll is a 32-bit[^.]*' configure.log)"
    exit 0 ;;
mingw)
    configure i686-w64-mingw32-gcc
    cmake --build build
    program=build/list_volumes.exe ;;
msvc)
    clang --target=i686-pc-windows-msvc -fgnuc-version=6 -msse2 -D_X86_ -Wall -Werror \
        -isystem /usr/share/mingw-w64/include -I"$prefix/include" -c src/list_volumes.c -o list_volumes.obj
    lld-link -nodefaultlib -safeseh:no -entry:listVolumesEntry -subsystem:console list_volumes.obj \
        "$prefix/lib/bvcl2sti.lib" "$mingw_lib/libkernel32.a" "$mingw_lib/libuser32.a" -out:list_volumes.exe
    program=list_volumes.exe ;;
*)
    echo "usage: consumer.sh mingw|msvc|refuse64 PREFIX SCRATCH [WINE]" >&2
    exit 2 ;;
esac

# The application's folder: the program, the library and the simulator.
mkdir run
cp "$program" "$prefix/bin/bvcl2sti.dll" "$prefix/bin/bvsetup.exe" "$prefix/share/bvcl2sti/models.ini" run/
cp -r "$prefix/sim/." run/
cd run
"$wine" bvsetup.exe install models.ini
trap '"$wine" bvsetup.exe uninstall models.ini >/dev/null' EXIT
"$wine" list_volumes.exe
