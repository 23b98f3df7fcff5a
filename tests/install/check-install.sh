#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a user's system
# gets: the program folder with the links to it, the desktop files (validated
# by the desktop's own tools), the project file type and programs that find
# their folder when started through the links.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0

fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime mimetype; do
    command -v "$tool" >/dev/null || { echo "check-install: $tool is missing; run scripts/setup" >&2; exit 1; }
done

"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log" >&2; exit 1; }

# The program folder holds everything the programs look for beside themselves.
folder=$prefix/lib/vetradesk
for f in vetradesk vetradesk-cli; do
    [ -f "$folder/$f" ] && [ -x "$folder/$f" ] || fail "$folder/$f is not an executable file"
done
for f in Vetradesk_DEU.dll VETRADESK_ENU.pdf; do
    [ -f "$folder/$f" ] && [ -s "$folder/$f" ] || fail "$folder/$f is missing or empty"
    [ -e "$prefix/bin/$f" ] && fail "$f is in bin/, where the programs do not look for it"
done

# bin/ only links to the programs, relatively, so a moved prefix still works.
for f in vetradesk vetradesk-cli; do
    link=$prefix/bin/$f
    if [ ! -L "$link" ]; then
        fail "$link is not a symbolic link"
    elif [ "$(readlink "$link")" != "../lib/vetradesk/$f" ]; then
        fail "$link points to $(readlink "$link"), not ../lib/vetradesk/$f"
    elif [ "$(readlink -f "$link")" != "$(readlink -f "$folder/$f")" ]; then
        fail "$link does not lead to the program"
    fi
done

# The simulator needs nothing beside itself and sits in bin/ directly.
[ -f "$prefix/bin/vetrasim" ] && [ -x "$prefix/bin/vetrasim" ] || fail "$prefix/bin/vetrasim is not an executable file"

share=$prefix/share
for f in applications/vetradesk.desktop \
         metainfo/com.quelix.Vetradesk.metainfo.xml \
         mime/packages/vetradesk-mime.xml \
         icons/hicolor/scalable/apps/vetradesk.svg \
         man/man1/vetradesk.1.gz man/man1/vetradesk-cli.1.gz man/man1/vetrasim.1.gz; do
    [ -s "$share/$f" ] || fail "$share/$f is missing or empty"
done
cmp -s "$share/icons/hicolor/scalable/apps/vetradesk.svg" "$source/src/gui/icons/vetradesk.svg" \
    || fail "the scalable icon is not the window icon"
for page in vetradesk vetradesk-cli vetrasim; do
    gzip -dc "$share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^\.TH ${page^^} 1" \
        || fail "man page $page.1.gz is not the $page page"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for side in 48 256; do
    png=$share/icons/hicolor/${side}x${side}/apps/vetradesk.png
    if [ ! -s "$png" ]; then
        fail "$png is missing"
        continue
    fi
    read -r -a b < <(od -An -tu1 -j16 -N8 "$png")
    width=$(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] ))
    height=$(( (b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7] ))
    [ "$width" -eq "$side" ] && [ "$height" -eq "$side" ] || fail "$png is ${width}x$height, not ${side}x$side"
done

# Hints count too: a missing main category is only a hint, but it leaves the
# program in a menu's catch-all section.
if ! out=$(desktop-file-validate "$share/applications/vetradesk.desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: $out"
fi
# --no-net: the screenshot and home page addresses are not checked, the test
# must not depend on the network.
out=$(appstreamcli validate --no-net "$share/metainfo/com.quelix.Vetradesk.metainfo.xml" 2>&1) \
    || fail "appstreamcli validate: $out"

# The programs, started through the links, in a private settings folder.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config
mkdir -p "$XDG_CONFIG_HOME"
cli=$prefix/bin/vetradesk-cli
version=$("$cli" --version) || fail "vetradesk-cli --version"
[[ $version =~ ^vetradesk-cli\ [0-9]+\.[0-9]+ ]] || fail "vetradesk-cli --version printed \"$version\""
languages=$("$cli" languages) || fail "vetradesk-cli languages"
grep -q "Deutsch.*$folder/Vetradesk_DEU\.dll" <<<"$languages" \
    || fail "vetradesk-cli through its link does not list Deutsch from $folder: $languages"
project=$tmp/files/some.qxs
mkdir -p "$tmp/files"
"$cli" convert -o "$project" "$source/samples/demo.csv" || fail "vetradesk-cli convert"

title=$(QT_QPA_PLATFORM=offscreen VETRADESK_EXIT_AFTER_PAINT=1 "$prefix/bin/vetradesk" "$project" 2>"$tmp/gui.log") \
    || { cat "$tmp/gui.log" >&2; fail "vetradesk through its link"; }
[[ $title == *some.qxs* ]] || fail "vetradesk did not open the project; its title is \"$title\""

# The project type, through the MIME database built from the installed file.
# XDG_CURRENT_DESKTOP=X-Generic makes xdg-mime ask `mimetype`, which reads
# the database in XDG_DATA_DIRS (`file`, its other choice, would not); an
# empty XDG_DATA_HOME keeps the user's own types out.
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
cp "$project" "$tmp/files/renamed"
cp "$source/samples/demo.csv" "$tmp/files/data.csv"
query()
{
    XDG_CURRENT_DESKTOP=X-Generic XDG_DATA_HOME=$tmp/nodata XDG_DATA_DIRS=$1 xdg-mime query filetype "$2"
}
for dirs in "$share:/usr/share" "$share"; do
    for f in some.qxs renamed; do   # by name, and by the leading title alone
        type=$(query "$dirs" "$tmp/files/$f") || fail "xdg-mime query filetype $f"
        [ "$type" = application/x-vetradesk-project ] || fail "$f with XDG_DATA_DIRS=$dirs is \"$type\""
    done
done
type=$(query "$share:/usr/share" "$tmp/files/data.csv")
[ "$type" != application/x-vetradesk-project ] || fail "a data file is taken for a project"

if [ "$failures" -ne 0 ]; then
    echo "check-install: $failures failure(s)" >&2
    exit 1
fi
echo "check-install: the installed layout, desktop files, project type and programs are right"
