#!/usr/bin/env bash
# The MSI package under 32-bit Wine: builds it with CPack, installs it over
# a key it does not own, checks the files and that the registry holds
# exactly what "bvsetup install" writes, installs it again, removes it and
# checks that only the foreign key is left; the TWAIN data source comes
# and goes with it in the Windows folder's twain_32. Whatever fails, the
# prefix is left as it was found: without Software\Orvel and the install
# folders.
#
# Arguments: the build's CPackConfig.cmake, a scratch folder, the Wine
# loader, bvsetup.exe and the models file it installs. WINEPREFIX is set.
set -euo pipefail
config=$1 work=$2 wine=$3 bvsetup=$4 models=$5

root='HKLM\Software\Orvel'
sentinel='HKLM\Software\Orvel\Brivant\BVLL\NotFromThePackage'
target="$WINEPREFIX/drive_c/Program Files (x86)/Bvcl2STI"
twain="$WINEPREFIX/drive_c/windows/twain_32/Bvcl2STI"

fail() { echo "msi_install: FAILED: $*" >&2; exit 1; }
step() { echo "msi_install: [${SECONDS}s] $*"; }
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
quietly() { "$wine" "$@" >/dev/null 2>&1; }

# Software\Orvel of the 32-bit view, one sorted line per key and per value
# ("key|value"), so that the order values were written in does not count.
# Empty when there is no such key.
dump() {
    local out
    out=$("$wine" reg query "$root" /s /reg:32 2>/dev/null) || return 0
    tr -d '\r' <<<"$out" | awk '/^HKEY/ { key = $0; print key; next } NF { print key "|" $0 }' | sort
}

same() {  # expected actual what
    [ "$1" == "$2" ] || fail "$3:"$'\n'"$(diff <(echo "$1") <(echo "$2") || true)"
}

# Every file below the install folder with its bytes' checksum.
installed_files() {
    [ -d "$target" ] || return 0
    (cd "$target" && find . -type f -print0 | sort -z | xargs -0r md5sum)
}

touched=0
msi=
cleanup() {
    [ "$touched" == 1 ] || return 0
    step "cleaning up after the failure"
    [ -z "$msi" ] || quietly msiexec /x "$(windows_path "$msi")" /qn || true
    quietly reg delete "$root" /f /reg:32 || true
    rm -rf "$target" "$twain"
}
trap cleanup EXIT

[ -z "$(dump)" ] && [ ! -e "$target" ] && [ ! -e "$twain" ] \
    || fail "the prefix has $root or $target already; they are left alone"

step "building the package"
rm -rf "$work"
cpack --config "$config" -G External -B "$work" >"$work.log" 2>&1 || fail "cpack: $(cat "$work.log")"
msi=$(find "$work" -maxdepth 1 -name '*.msi')
staged=$(dirname "$(dirname "$(find "$work/_CPack_Packages" -path '*/bin/bvcl2sti.dll')")")
expected_files=$(cd "$staged" && find bin share/bvcl2sti -type f -print0 | sort -z | xargs -0r md5sum \
    | sed 's|  |  ./|')
expected_twain=$(cd "$staged/twain_32/Bvcl2STI" && md5sum bvcl2sti.ds bvcl2sti.dll | sed 's|  |  ./|')

touched=1
quietly reg add "$sentinel" /v kept /d yes /f /reg:32 || fail "cannot add $sentinel"
foreign=$(dump)

step "installing"
quietly msiexec /i "$(windows_path "$msi")" /qn || fail "msiexec /i exited with $?"
same "$expected_files" "$(installed_files)" "installed files differ from the staged ones"
same "$expected_twain" "$(cd "$twain" && md5sum ./bvcl2sti.ds ./bvcl2sti.dll)" "the TWAIN data source's folder"
models_listed=$("$wine" "$target/bin/bvcam.exe" models | tr -d '\r' | grep -v '^0x00000000' || true)
same $'0x70323030  Brivant 200          RS-232C \n0x70333036  Brivant 350          RS-232C USB
0x70353030  Brivant 500          USB' "$models_listed" "bvcam models"
installed=$(dump)

step "installing again"
quietly msiexec /i "$(windows_path "$msi")" /qn || fail "the second msiexec /i exited with $?"
same "$installed" "$(dump)" "the registry after the second install"
same "$expected_files" "$(installed_files)" "the files after the second install"

step "removing"
quietly msiexec /x "$(windows_path "$msi")" /qn || fail "msiexec /x exited with $?"
msi=
[ ! -e "$target" ] || fail "left behind: $(cd "$target" && find .)"
[ ! -e "$twain" ] || fail "left behind: $twain"
same "$foreign" "$(dump)" "the registry after the removal"

step "comparing with bvsetup"
quietly "$bvsetup" install "$(windows_path "$models")" || fail "bvsetup install"
same "$(dump)" "$installed" "the package's registry against bvsetup's"
quietly "$bvsetup" uninstall "$(windows_path "$models")" || fail "bvsetup uninstall"
same "$foreign" "$(dump)" "the registry after bvsetup uninstall"

quietly reg delete "$root" /f /reg:32 || fail "cannot delete $root"
touched=0
step "done"
