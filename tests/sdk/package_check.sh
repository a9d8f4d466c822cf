#!/usr/bin/env bash
# Runs the package target of a 32-bit build and checks what it made: the
# ZIP (the SDK tree) and the MSI, named with the release number that the
# DLL's version resource and "bvcam --version" also carry.
#   package_check.sh BUILD_DIR PACKAGE_NAME VERSION WINE
set -euo pipefail
build=$1 name=$2 version=$3 wine=$4
packages=$build/packages

rm -f "$packages/$name.zip" "$packages/$name.msi"
cmake --build "$build" --target package
test -s "$packages/$name.msi" || { echo "no $name.msi" >&2; exit 1; }
listing=$(cmake -E tar tf "$packages/$name.zip")
for file in bin/bvcl2sti.dll bin/bvcam.exe bin/bvsetup.exe include/bvcl2sti.h lib/bvcl2sti.lib \
            lib/libbvcl2sti.dll.a lib/cmake/Bvcl2sti/Bvcl2stiConfig.cmake share/bvcl2sti/models.ini \
            share/doc/bvcl2sti/api/index.html sim/Sti.dll sim/BVCLL.DLL sim/cards/slot1 \
            twain_32/Bvcl2STI/bvcl2sti.ds twain_32/Bvcl2STI/bvcl2sti.dll; do
    grep -q "^$name/$file" <<<"$listing" || { echo "$name.zip lacks $file" >&2; exit 1; }
done

i686-w64-mingw32-strings -el "$build/bin/bvcl2sti.dll" | grep -qx "$version" \
    || { echo "the DLL's version resource does not say $version" >&2; exit 1; }
(cd "$build/demo" && "$wine" bvcam.exe --version) | tr -d '\r' | grep -qx "bvcam $version" \
    || { echo "bvcam --version does not say $version" >&2; exit 1; }
echo "Packages $name.zip and $name.msi; version $version in the DLL and bvcam"
