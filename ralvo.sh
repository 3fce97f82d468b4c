#!/usr/bin/env bash
# Sets up a Debian 12 machine for Ralvo, builds it, and then plays or tests it.
#   ./ralvo.sh          install what is missing, build, start the game
#   ./ralvo.sh test     install what is missing, build, run every test (also under ASan + UBSan)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
          fonts-ipafont-gothic libgtest-dev libbenchmark-dev xvfb xauth imagemagick)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {  # build DIR [cmake options...]
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

install_missing
case "${1:-play}" in
    play)
        build build
        exec ./build/bin/ralvo
        ;;
    test)
        build build
        (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)
        echo "== again under AddressSanitizer + UndefinedBehaviorSanitizer =="
        build build-asan -DRALVO_SANITIZE=ON -DRALVO_BENCH=OFF
        (cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)
        ;;
    *)
        echo "usage: $0 [play|test]" >&2
        exit 2
        ;;
esac
