#!/bin/sh
# Builds the Debian package from a build folder, unpacks it into a scratch
# root and checks that everything lies where the desktop looks for it.
#   check_package.sh CPACK BUILD_DIR APP_ID ICON_SIZE...
set -eu
cpack=$1
build=$2
app_id=$3
shift 3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "package_contents: $*" >&2
    exit 1
}

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(find "$scratch/out" -maxdepth 1 -name '*.deb')
[ "$(echo "$deb" | wc -l)" -eq 1 ] && [ -n "$deb" ] || fail "expected one .deb, found: $deb"
root=$scratch/root
dpkg-deb -x "$deb" "$root"

[ -x "$root/usr/bin/kazami" ] || fail "no executable usr/bin/kazami"
for file in usr/share/applications/kazami.desktop usr/share/metainfo/$app_id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/kazami.svg usr/share/kio/servicemenus/kazami-rename.desktop \
    usr/share/nemo/actions/kazami-rename.nemo_action usr/share/nemo/actions/kazami-rename-here.nemo_action; do
    [ -f "$root/$file" ] || fail "missing $file"
done
for size in "$@"; do
    png=usr/share/icons/hicolor/${size}x${size}/apps/kazami.png
    [ -f "$root/$png" ] || fail "missing $png"
    file "$root/$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size pixel PNG"
done
outside=$(cd "$root" && find . -mindepth 1 ! -path './usr' ! -path './usr/bin*' ! -path './usr/share*')
[ -z "$outside" ] || fail "files outside usr/bin and usr/share: $outside"

# The entry names the installed program and icon; the metadata its entry.
grep -qx 'Exec=kazami %f' "$root/usr/share/applications/kazami.desktop" || fail "desktop entry runs another program"
grep -qx 'Icon=kazami' "$root/usr/share/applications/kazami.desktop" || fail "desktop entry shows another icon"
# Kazami must never become the desktop's folder opener.
! grep -q '^MimeType=.*inode/directory' "$root/usr/share/applications/kazami.desktop" ||
    fail "desktop entry registers Kazami for folders"
desktop-file-validate "$root/usr/share/applications/kazami.desktop" || fail "the installed entry does not validate"
for action in "$root"/usr/share/kio/servicemenus/*.desktop "$root"/usr/share/nemo/actions/*.nemo_action; do
    grep -q '^Exec=kazami %[fFP]$' "$action" || fail "$action does not open a folder in kazami"
done
appstreamcli validate-tree --no-net "$root" || fail "the unpacked tree does not validate"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libexiv2-27 fonts-noto-cjk; do
    echo "$depends" | grep -q "$needed" || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section is not utils"

# The packaged program runs, without a display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/kazami" --version | grep -q '^Kazami ' ||
    fail "the packaged program does not answer --version"
