#!/bin/sh
# The game as a Linux desktop gets it: the desktop entry and the AppStream
# metadata pass their validators; `cmake --install` lays out bin, Data,
# entry, icons and metadata; `cpack -G DEB` makes a .deb with the library
# packages as dependencies; the .deb, unpacked into a scratch root, runs
# under Xvfb from there to its first frame with the installed data.
# usage: package_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
id=org.corsavel.Corsavel
fail() { echo "package: $*"; exit 1; }
for tool in desktop-file-validate appstreamcli cpack dpkg-deb dpkg-shlibdeps fakeroot xvfb-run; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "package: $tool not found: skipped (scripts/install-deps.sh installs it)"
        exit 77
    fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "== desktop-file-validate $id.desktop"
desktop-file-validate "$source/packaging/$id.desktop" || fail "the desktop entry is not valid"
echo "== appstreamcli validate --no-net $id.metainfo.xml"
appstreamcli validate --no-net "$build/packaging/$id.metainfo.xml" ||
    fail "the metadata is not valid"

echo "== cmake --install"
cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install failed"
for file in bin/corsavel share/corsavel/texts.dat share/corsavel/splash1.jpg \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/16x16/apps/corsavel.png share/icons/hicolor/256x256/apps/corsavel.png \
    share/icons/hicolor/scalable/apps/corsavel.svg; do
    [ -e "$work/prefix/$file" ] || fail "cmake --install left out $file"
done
[ -e "$work/prefix/share/corsavel/icons/hicolor/64x64/apps/corsavel.png" ] ||
    fail "the data folder lacks the window's icon"
"$work/prefix/bin/corsavel" --version | grep -q '^corsavel [0-9]' || fail "--version gave no version"

echo "== cpack -G DEB"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/corsavel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Section\|Depends\|Recommends\):/&/p'
depends=$(dpkg-deb --field "$deb" Depends)
for library in libsdl2 libjpeg62-turbo libpng16 libc6 libstdc++6; do
    printf '%s' "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$' > "$work/contents"
for file in ./usr/bin/corsavel ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/corsavel.png \
    ./usr/share/corsavel/texts.dat; do
    grep -qx "$file" "$work/contents" || fail "the package lacks $file"
done
echo "$(wc -l < "$work/contents") files in $(basename "$deb")"

echo "== the installed game's first frame"
dpkg-deb -x "$deb" "$work/root" || fail "the package does not unpack"
cat > "$work/run.sh" <<INNER
unset SDL_VIDEODRIVER
cd "$work"
"$work/root/usr/bin/corsavel" --home "$work/home" --windowed --screenshot first.png
INNER
xvfb-run -a -s "-screen 0 1024x768x24" sh "$work/run.sh" || fail "the installed game failed"
[ -e "$work/first.png" ] || fail "no first frame"
# The title splash from the installed data, not a black frame (that packs
# into about 2 KB).
size=$(stat -c %s "$work/first.png")
[ "$size" -gt 50000 ] || fail "the first frame is only $size bytes: nothing drawn"
[ -e "$work/home/settings.reg" ] || fail "the installed game wrote no settings record"
echo "ok (first frame $size bytes)"
