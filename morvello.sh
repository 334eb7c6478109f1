#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Morvello: install what is missing, build, then start the program or run the
# whole test suite.
#   ./morvello.sh run    builds and starts the program (from this folder, where permorvello/ lies)
#   ./morvello.sh test   builds and runs every test
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

# qt6-charts-dev's CMake files ask for Qt's OpenGL module, which Debian
# packages apart (libqt6opengl6-dev) and does not pull in.
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins libqt6sql6-sqlite qt6-translations-l10n
          libsqlite3-dev fonts-liberation poppler-utils sqlite3 python3
          qt6-speech-dev libqt6texttospeech6 qt6-speech-speechd-plugin
          speech-dispatcher speech-dispatcher-espeak-ng fonts-opendyslexic
          postgresql-15 libqt6sql6-psql)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "== Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local dir="$1"; shift
  cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
  run)
    install_missing
    build "$here/build" -DMORVELLO_BUILD_TESTS=OFF -DMORVELLO_BUILD_BENCH=OFF
    exec "$here/build/morvello"
    ;;
  test)
    install_missing
    build "$here/build-test"
    cd "$here/build-test"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "uso: $0 run | test" >&2
    exit 2
    ;;
esac
