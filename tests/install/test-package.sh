#!/usr/bin/env bash
# The Debian package, made by CPack from the build tree as it is: lintian finds no error in it,
# and unpacked into a temporary root its files are those of the install, its program answers
# --version and plays the demo without writing into /usr.
#   test-package.sh BUILD SOURCE LIBDIR
set -euo pipefail
build=$1 source=$2 lib=$3
source "$(dirname "$0")/installed.sh"

tmp=$(mktemp -d /tmp/norl-package.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log"
    fail "cpack failed"
}
deb=$(echo "$tmp"/package/norlplayer_1.5_*.deb)
[ -f "$deb" ] || fail "no norlplayer_1.5_<arch>.deb; cpack said: $(cat "$tmp/cpack.log")"

# The dependencies are computed from the binaries: at least Qt and the decoding library.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libmpg123-0 libpulse0 fonts-liberation; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.txt" 2>&1 || true
cat "$tmp/lintian.txt"
! grep -q '^E:' "$tmp/lintian.txt" || fail "lintian reports errors"

dpkg-deb -x "$deb" "$tmp/root"
check_files "$tmp/root" /usr "$lib" "$source"
validate_desktop_files "$tmp/root" /usr
mkdir "$tmp/elsewhere"
check_version "$tmp/root/usr/bin/norlplayer" "$tmp/elsewhere"
headless_start "$tmp/root" /usr "$tmp/home"
check_files "$tmp/root" /usr "$lib" "$source"
echo "PASS"
