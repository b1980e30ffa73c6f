#!/usr/bin/env bash
# Installs what Tarnel needs on Debian 12: the build tools, Qt 6 and a Japanese
# font; with --tests also what the tests use (Xvfb, an XEmbed tray host and a
# StatusNotifierWatcher, Samba's nmbd, clang for the fuzzers, the packaging
# checkers, bash-completion).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
    fonts-ipafont-gothic
)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(
        xvfb xauth x11-utils xdotool trayer imagemagick
        dbus-daemon libglib2.0-bin python3-dbus haskell-status-notifier-item-utils
        iproute2 samba samba-common-bin
        clang clang-tidy libclang-rt-14-dev
        desktop-file-utils appstream lintian dpkg-dev fakeroot file bash-completion
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    run=()
    ((EUID == 0)) || run=(sudo)
    "${run[@]}" apt-get update
    "${run[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
