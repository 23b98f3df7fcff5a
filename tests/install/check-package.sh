#!/usr/bin/env bash
# Builds the Debian package from debian/ with dpkg-buildpackage, on a copy of
# the files git knows, and checks it without installing it: lintian, its
# control data, its file list, and that the programs it unpacks start through
# their links. Slow (a whole build of the programs), so ctest runs it only
# with VETRADESK_PACKAGE_TEST=1.
# Usage: check-package.sh BUILD_DIR SOURCE_DIR (the package is built in
# BUILD_DIR/package-test, a fixed place, so that ccache finds the same paths
# at the next run)
set -euo pipefail

if [ "${VETRADESK_PACKAGE_TEST:-0}" != 1 ]; then
    echo "check-package: skipped; set VETRADESK_PACKAGE_TEST=1 to run it"
    exit 77
fi
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
for tool in git dpkg-buildpackage dh lintian; do
    command -v "$tool" >/dev/null || { echo "check-package: $tool is missing; run scripts/setup" >&2; exit 1; }
done
tmp=$(mktemp -d)
sim_pid=
cleanup()
{
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
failures=0

fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# What a commit of the checkout would hold: tracked files as they are now, and
# new ones that are not ignored (build folders are).
out=$build/package-test
rm -rf "$out"
mkdir -p "$out/src"
git -C "$source" ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do
          if [ -e "$source/$f" ] || [ -L "$source/$f" ]; then printf '%s\0' "$f"; fi
      done \
    | tar -C "$source" --null -T - -cf - | tar -C "$out/src" -xf -
# debhelper points HOME into the build tree; the caller's compiler cache
# keeps a second run short.
if command -v ccache >/dev/null; then
    export CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
fi
(cd "$out/src" && dpkg-buildpackage -us -uc -b -j"$(nproc 2>/dev/null || echo 2)") >"$out/build.log" 2>&1 \
    || { tail -n 60 "$out/build.log" >&2; echo "check-package: dpkg-buildpackage failed; see $out/build.log" >&2; exit 1; }
debs=("$out"/vetradesk_*.deb)
changes=("$out"/vetradesk_*.changes)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: no single vetradesk_*.deb made" >&2; exit 1; }
[ ${#changes[@]} -eq 1 ] && [ -f "${changes[0]}" ] || { echo "check-package: no single .changes made" >&2; exit 1; }
deb=${debs[0]}

# The .changes takes in the .deb, its debug symbols and the .buildinfo; only
# overrides with a written reason in debian/ may quiet a tag.
lint=$(lintian --fail-on error,warning "${changes[0]}" 2>&1) || fail "lintian: $lint"

field()
{
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = vetradesk ] || fail "Package is \"$(field Package)\""
[ "$(field Section)" = science ] || fail "Section is \"$(field Section)\""
[[ $(field Maintainer) == *@* ]] || fail "Maintainer is \"$(field Maintainer)\""
[ -n "$(field Description)" ] || fail "no Description"
# Found by dpkg-shlibdeps from the binaries, not written by hand.
for lib in libqt6widgets6 libqt6svg6 libcurl4 libudev1 libc6; do
    [[ $(field Depends) == *"$lib "* ]] || fail "Depends lacks $lib: $(field Depends)"
done
# The platform plugins are loaded at run time, where shlibdeps cannot see them.
for plugin in qt6-qpa-plugins qt6-wayland; do
    [[ ", $(field Depends)," == *", $plugin,"* ]] || fail "Depends lacks $plugin: $(field Depends)"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/lib/vetradesk/vetradesk ./usr/lib/vetradesk/vetradesk-cli ./usr/lib/vetradesk/Vetradesk_DEU.dll \
         ./usr/lib/vetradesk/VETRADESK_ENU.pdf ./usr/bin/vetrasim ./usr/share/applications/vetradesk.desktop \
         ./usr/share/metainfo/com.quelix.Vetradesk.metainfo.xml ./usr/share/mime/packages/vetradesk-mime.xml \
         ./usr/share/icons/hicolor/256x256/apps/vetradesk.png ./usr/share/man/man1/vetradesk.1.gz \
         ./usr/share/man/man1/vetradesk-cli.1.gz ./usr/share/man/man1/vetrasim.1.gz; do
    grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
done
for f in vetradesk vetradesk-cli; do
    grep -q " ./usr/bin/$f -> ../lib/vetradesk/$f\$" <<<"$contents" || fail "the package lacks the link /usr/bin/$f"
done
# Caches are built on the target by the triggers of their owners.
grep -q "mime/mime.cache\|icon-theme.cache" <<<"$contents" && fail "the package ships a cache"

dpkg-deb -x "$deb" "$tmp/root"
for page in vetradesk vetradesk-cli vetrasim; do
    gzip -dc "$tmp/root/usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^\.TH ${page^^} 1" \
        || fail "man page $page.1.gz is not the $page page"
done

# The unpacked programs, started through the links.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config
mkdir -p "$XDG_CONFIG_HOME"
bin=$tmp/root/usr/bin
[[ $("$bin/vetradesk-cli" --version) =~ ^vetradesk-cli\ [0-9] ]] || fail "vetradesk-cli --version"
"$bin/vetradesk-cli" languages | grep -q "Deutsch.*/usr/lib/vetradesk/Vetradesk_DEU\.dll" \
    || fail "vetradesk-cli does not list Deutsch from its program folder"
title=$(QT_QPA_PLATFORM=offscreen VETRADESK_EXIT_AFTER_PAINT=1 "$bin/vetradesk" 2>"$tmp/gui.log") \
    || { cat "$tmp/gui.log" >&2; fail "vetradesk does not start"; }
[[ $title == *Vetradesk* ]] || fail "vetradesk printed the title \"$title\""

# The packaged simulator serves the packaged tool: its first line is the
# terminal, and a download through it brings every object it holds.
coproc SIM { exec "$bin/vetrasim" --generate 3 --no-pacing 2>"$tmp/sim.log"; }
sim_pid=$SIM_PID
if ! read -r -t 30 pty <&"${SIM[0]}" || [ ! -c "$pty" ]; then
    cat "$tmp/sim.log" >&2
    fail "vetrasim did not name its terminal (\"${pty:-}\")"
else
    VETRADESK_PORTMAP=COM1=$pty "$bin/vetradesk-cli" download --port 1 -o "$tmp/sim.csv" >"$tmp/download.log" 2>&1 \
        || { cat "$tmp/download.log" >&2; fail "vetradesk-cli download from vetrasim"; }
    objects=$("$bin/vetradesk-cli" info "$tmp/sim.csv" 2>/dev/null | wc -l)
    [ "$objects" -eq 3 ] || fail "the download from vetrasim holds $objects objects, not 3"
fi
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=

if [ "$failures" -ne 0 ]; then
    echo "check-package: $failures failure(s)" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") is right"
