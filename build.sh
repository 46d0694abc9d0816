#!/usr/bin/env bash
# Sets up a Debian 12 machine for Kazami, builds it, then starts it or runs
# every test.
#   ./build.sh run    install what is missing, build, start Kazami
#   ./build.sh test   install what is missing, build, run all tests
#   ./build.sh package  install what is missing, build, make the Debian package
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${KAZAMI_BUILD_DIR:-build}
packages=(g++ cmake ninja-build pkg-config git qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-qpa-plugins qt6-svg-dev
          qt6-translations-l10n libgl-dev fonts-noto-cjk clang-format
          desktop-file-utils appstream dpkg-dev file libexiv2-dev
          exfatprogs exfat-fuse)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAZAMI_WERROR=$werror
cmake --build "$build_dir" -j "$(nproc)"

case "$mode" in
run)
    exec "$build_dir/kazami"
    ;;
test)
    if command -v clang-format >/dev/null 2>&1; then
        git ls-files '*.cpp' '*.h' 2>/dev/null | xargs -r clang-format --dry-run --Werror
    fi
    ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
    ;;
package)
    cmake --build "$build_dir" --target package
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
