#!/usr/bin/env bash
# The Debian package, as a user gets it.
#   package_test.sh build   SOURCE WORK VERSION: builds it from a fresh Release tree with Debian's hardening
#     flags, checks where its files land, and runs desktop-file-validate, appstreamcli and lintian on it.
#   package_test.sh install SOURCE WORK VERSION: installs it with apt-get (root only), starts /usr/bin/tarnel
#     under Xvfb with a fresh home, ends it with SIGTERM, checks ~/.config/tarnel/tarnel.ini, lists an address
#     book there with /usr/bin/tarnel-cli, removes it again.
# Exit code 77: skipped (not root for "install"; a tool missing when not root).
set -euo pipefail
cmake=${TARNEL_CMAKE:-cmake} cpack=${TARNEL_CPACK:-cpack}
mode=$1 source_dir=$2 work=$3 version=$4
deb="$work/tarnel_${version}_$(dpkg --print-architecture 2>/dev/null || echo unknown).deb"
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
need_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        ((EUID == 0)) && fail "missing $tool"
        skip "missing $tool (bash scripts/setup-debian.sh --tests installs it)"
    done
}

build_package() {
    need_tools "$cmake" "$cpack" ninja dpkg-deb dpkg-shlibdeps dpkg-buildflags desktop-file-validate appstreamcli lintian
    rm -rf "$work" && mkdir -p "$work"
    (
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
        export CXXFLAGS LDFLAGS
        # Installing needs only the programs: cpack must not build the whole tree.
        "$cmake" -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
            -DBUILD_TESTING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    )
    "$cmake" --build "$work/build" --target tarnel tarnel-cli --parallel "$(nproc)"
    (cd "$work/build" && "$cpack" -G DEB -B "$work")
    [[ -f $deb ]] || fail "cpack made no $deb"
    [[ $(dpkg-deb --field "$deb" Package Version) == $'Package: tarnel\nVersion: '"$version" ]] || fail "name or version"
    local depends
    depends=$(dpkg-deb --field "$deb" Depends)
    [[ $depends == *fonts-ipafont-gothic* && $depends == *libqt6widgets6* ]] || fail "dependencies: $depends"

    # The desktop finds the entry, the program it starts and its icon by name.
    local root="$work/root" id=org.example.tarnel
    dpkg-deb -x "$deb" "$root"
    local desktop="$root/usr/share/applications/$id.desktop" metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
    for file in usr/bin/tarnel{,-cli} usr/share/icons/hicolor/{48x48,256x256}/apps/$id.png \
        usr/share/man/man1/tarnel{,-cli}.1.gz usr/share/bash-completion/completions/tarnel-cli; do
        [[ -s "$root/$file" ]] || fail "no /$file"
    done
    desktop-file-validate "$desktop" && appstreamcli validate --no-net "$metainfo" &&
        appstreamcli validate-tree --no-net "$root" || fail "the desktop entry or the metainfo is not valid"
    # Exit status 1 means tags at the failing level, 2 that lintian could not run.
    local report status=0
    report=$(lintian --display-info "$deb" 2>&1) || status=$?
    echo "$report"
    ((status < 2)) || fail "lintian could not check the package (status $status)"
    ! grep -q '^E:' <<<"$report" || fail "lintian reports errors"
    echo "PASS: $deb"
}

install_and_run() {
    ((EUID == 0)) || skip "installing the package needs root"
    need_tools apt-get Xvfb xwininfo
    [[ -f $deb ]] || fail "no $deb: the package test did not make it"
    ! dpkg-query -W -f='${Status}' tarnel 2>/dev/null | grep -q "ok installed" || fail "tarnel is installed already"
    # Globals: the exit trap runs after this function has returned.
    tmp=$(mktemp -d) installed=0 pids=()
    cleanup() {
        kill -KILL "${pids[@]}" 2>/dev/null
        ((installed)) && DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 tarnel >/dev/null
        rm -rf "$tmp"
    }
    trap cleanup EXIT
    installed=1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$deb"
    dpkg --verify tarnel || fail "the installed files differ from the package"

    # A user who has never run Tarnel, on a display without a notification area: the window shows at once.
    mkdir -p "$tmp/home" "$tmp/run" && chmod 700 "$tmp/run"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    pids+=($!)
    for _ in $(seq 100); do [[ -s "$tmp/display" ]] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$tmp/display")"
    env -u XDG_CONFIG_HOME -u WAYLAND_DISPLAY HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb \
        /usr/bin/tarnel >"$tmp/tarnel.log" 2>&1 &
    local tarnel=$!
    pids+=($tarnel)
    for _ in $(seq 300); do xwininfo -root -tree | grep -q '"Tarnel! - Wake On Lan"' && break; sleep 0.1; done
    xwininfo -root -tree | grep -q '"Tarnel! - Wake On Lan"' || fail "no window: $(cat "$tmp/tarnel.log")"
    kill -TERM "$tarnel"
    local status=0
    timeout 20 tail --pid="$tarnel" -f /dev/null || fail "tarnel did not end within 20 seconds of SIGTERM"
    wait "$tarnel" || status=$?
    ((status == 0)) || fail "tarnel ended with status $status after SIGTERM: $(cat "$tmp/tarnel.log")"
    [[ -f "$tmp/home/.config/tarnel/tarnel.ini" && ! -e /usr/bin/tarnel.ini ]] || fail "tarnel.ini is not in ~/.config/tarnel"

    # The installed tarnel-cli reads the address book the window keeps there.
    [[ $(/usr/bin/tarnel-cli --version) == "tarnel-cli $version" ]] || fail "tarnel-cli --version"
    printf 'Office PC,0A0B0C0D0E01,07:30,__:__,__:__,__:__,__:__,__:__,__:__,__:__,10.0.0.1\r\n' \
        >"$tmp/home/.config/tarnel/address.lst"
    local listed
    listed=$(env -u XDG_CONFIG_HOME HOME="$tmp/home" /usr/bin/tarnel-cli list 2>&1) || fail "tarnel-cli list: $listed"
    [[ $listed == $'Office PC\t0A:0B:0C:0D:0E:01\t10.0.0.1\tdaily 07:30' ]] || fail "tarnel-cli list printed: $listed"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 tarnel
    installed=0
    [[ ! -e /usr/bin/tarnel ]] || fail "/usr/bin/tarnel is still there after removing the package"
    echo "PASS: installed, started, saved its settings in ~/.config/tarnel, tarnel-cli read the address book, removed"
}

case $mode in
build) build_package ;;
install) install_and_run ;;
*) fail "unknown mode $mode" ;;
esac
