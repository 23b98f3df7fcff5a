#!/usr/bin/env bash
# Makes the Debian package of a build with cpack and checks it without
# installing it: its control data, its file list, and that the programs it
# unpacks start through their links. Slow (cpack strips and scans every
# binary), so ctest runs it only with VETRADESK_PACKAGE_TEST=1.
# Usage: check-package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

if [ "${VETRADESK_PACKAGE_TEST:-0}" != 1 ]; then
    echo "check-package: skipped; set VETRADESK_PACKAGE_TEST=1 to run it"
    exit 77
fi
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$tmp" && "${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log" >&2; exit 1; }
debs=("$tmp"/out/vetradesk_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: no single vetradesk_*.deb made" >&2; exit 1; }
deb=${debs[0]}

field()
{
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = vetradesk ] || fail "Package is \"$(field Package)\""
[ "$(field Section)" = science ] || fail "Section is \"$(field Section)\""
[[ $(field Maintainer) == *@* ]] || fail "Maintainer is \"$(field Maintainer)\""
[ -n "$(field Description)" ] || fail "no Description"
# Found by dpkg-shlibdeps from the binaries, not written by hand.
for lib in libqt6widgets6 libqt6svg6 libcurl4 libc6; do
    [[ $(field Depends) == *"$lib "* ]] || fail "Depends lacks $lib: $(field Depends)"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/lib/vetradesk/vetradesk ./usr/lib/vetradesk/vetradesk-cli ./usr/lib/vetradesk/Vetradesk_DEU.dll \
         ./usr/lib/vetradesk/VETRADESK_ENU.pdf ./usr/share/applications/vetradesk.desktop \
         ./usr/share/metainfo/com.quelix.Vetradesk.metainfo.xml ./usr/share/mime/packages/vetradesk-mime.xml \
         ./usr/share/icons/hicolor/256x256/apps/vetradesk.png ./usr/share/man/man1/vetradesk-cli.1.gz; do
    grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done
for f in vetradesk vetradesk-cli; do
    grep -q " ./usr/bin/$f -> ../lib/vetradesk/$f\$" <<<"$contents" || fail "the package lacks the link /usr/bin/$f"
done
# Caches are built on the target by the triggers of their owners.
grep -q "mime/mime.cache\|icon-theme.cache" <<<"$contents" && fail "the package ships a cache"

# The unpacked programs, started through the links.
dpkg-deb -x "$deb" "$tmp/root"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config
mkdir -p "$XDG_CONFIG_HOME"
bin=$tmp/root/usr/bin
[[ $("$bin/vetradesk-cli" --version) =~ ^vetradesk-cli\ [0-9] ]] || fail "vetradesk-cli --version"
"$bin/vetradesk-cli" languages | grep -q "Deutsch.*/usr/lib/vetradesk/Vetradesk_DEU\.dll" \
    || fail "vetradesk-cli does not list Deutsch from its program folder"
title=$(QT_QPA_PLATFORM=offscreen VETRADESK_EXIT_AFTER_PAINT=1 "$bin/vetradesk" 2>"$tmp/gui.log") \
    || { cat "$tmp/gui.log" >&2; fail "vetradesk does not start"; }
[[ $title == *Vetradesk* ]] || fail "vetradesk printed the title \"$title\""

if [ "$failures" -ne 0 ]; then
    echo "check-package: $failures failure(s)" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") is right"
