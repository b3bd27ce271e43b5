# Shared by the README's commands: the project's root, and installing missing Debian packages.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libmpg123-dev libpulse-dev libxcb1-dev)
# What the player needs at run time beside the libraries.
RUN_PACKAGES=(fonts-liberation xdg-utils qt6-wayland)
# What making the Debian package needs beside the build (scripts/package).
PACKAGE_PACKAGES=(dpkg-dev file)
# What the tests need: a private sound server, its tools, reference decoder, sanitizer runtime,
# a tray host for the notification area, the desktop's own MIME tool, a Wayland compositor, a
# private session bus with a media-control client, and the checkers of the installed files and
# the package.
TEST_PACKAGES=(pulseaudio pulseaudio-utils sox mpg123 xvfb xauth clang libclang-rt-14-dev
    fonts-liberation trayer xdg-utils weston qt6-wayland dbus-daemon playerctl desktop-file-utils
    appstream lintian "${PACKAGE_PACKAGES[@]}")

# Installs the packages that are not installed yet (as root, or through sudo).
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Configures (once) and builds one preset incrementally: default, asan, tsan, fuzz, bench.
# Further arguments name the targets to build (all when none).
build_preset() {
    local preset=$1 dir targets=()
    shift
    [ $# -eq 0 ] || targets=(--target "$@")
    case "$preset" in
    default) dir=build ;;
    *) dir=build-$preset ;;
    esac
    if [ ! -f "$ROOT/$dir/build.ninja" ]; then
        cmake --preset "$preset" -S "$ROOT" >/dev/null
    fi
    cmake --build "$ROOT/$dir" "${targets[@]}"
}
