#!/usr/bin/env bash
# The Debian package, as a user gets it.
#
#   package_test.sh build   SOURCE WORK VERSION
#     Builds the package from a fresh Release tree of SOURCE (in WORK/build),
#     unpacks it and checks that the program, the desktop entry, the icons, the
#     metainfo and the manual page are where the desktop looks for them, then
#     runs desktop-file-validate, appstreamcli and lintian on them.
#   package_test.sh install SOURCE WORK VERSION
#     Installs WORK's package with apt-get (root only), starts /usr/bin/tarnel
#     under Xvfb with a fresh home folder, ends it with SIGTERM, checks that it
#     saved its settings in ~/.config/tarnel, and removes the package again.
#
# Exit code 77 (skipped): not root, for "install"; a tool missing, when not root.
set -euo pipefail

# The CMake that configured the outer build, when CTest passes it on.
cmake=${TARNEL_CMAKE:-cmake}
cpack=${TARNEL_CPACK:-cpack}

mode=$1
source_dir=$2
work=$3
version=$4

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Root is the CI machine, which has every tool; elsewhere a missing tool skips.
need_tools() {
    local missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    ((${#missing[@]} == 0)) && return 0
    if ((EUID != 0)); then
        echo "SKIP: missing ${missing[*]} (bash scripts/setup-debian.sh --tests installs them)"
        exit 77
    fi
    fail "missing ${missing[*]}"
}

arch=$(dpkg --print-architecture 2>/dev/null || echo unknown)
deb="$work/tarnel_${version}_${arch}.deb"

# The width and height stored in a PNG file's header.
png_size() {
    od -An -j16 -N8 -tu1 "$1" | awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# The value of KEY in the [Desktop Entry] group of a desktop file.
desktop_value() {
    awk -F= -v key="$2" '/^\[/ { group = $0 } group == "[Desktop Entry]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$1"
}

build_package() {
    need_tools "$cmake" "$cpack" ninja dpkg-deb dpkg-shlibdeps dpkg-buildflags desktop-file-validate appstreamcli lintian gzip

    rm -rf "$work"
    mkdir -p "$work"

    # The hardening flags of a Debian build, so that lintian judges the program
    # as the distribution would build it.
    (
        cd "$source_dir"
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
        LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
        export CXXFLAGS LDFLAGS
        # Installing needs only the program: cpack must not build the whole tree.
        "$cmake" -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
            -DBUILD_TESTING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    )
    "$cmake" --build "$work/build" --target tarnel --parallel "$(nproc)"
    (cd "$work/build" && "$cpack" -G DEB -B "$work")
    [[ -f "$deb" ]] || fail "cpack made no $deb"

    dpkg-deb --info "$deb"
    dpkg-deb --contents "$deb"
    [[ $(dpkg-deb --field "$deb" Package) == tarnel ]] || fail "package name"
    [[ $(dpkg-deb --field "$deb" Version) == "$version" ]] || fail "package version"
    local depends
    depends=$(dpkg-deb --field "$deb" Depends)
    [[ $depends == *fonts-ipafont-gothic* ]] || fail "the Japanese font is not a dependency: $depends"
    [[ $depends == *libqt6widgets6* ]] || fail "dpkg-shlibdeps found no Qt dependency: $depends"

    local root="$work/root"
    dpkg-deb -x "$deb" "$root"

    [[ -x "$root/usr/bin/tarnel" ]] || fail "no /usr/bin/tarnel"
    [[ $(head -c4 "$root/usr/bin/tarnel" | od -An -c | tr -d ' ') == '177ELF' ]] || fail "/usr/bin/tarnel is no program"

    # The desktop finds the metainfo by its folder, the entry by the metainfo's
    # launchable, the program by Exec and the icon by name in the hicolor theme.
    local metainfos=("$root"/usr/share/metainfo/*.metainfo.xml)
    if ((${#metainfos[@]} != 1)) || [[ ! -f ${metainfos[0]} ]]; then
        fail "expected one file in /usr/share/metainfo"
    fi
    local metainfo=${metainfos[0]}
    local id launchable
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
    [[ $(basename "$metainfo") == "$id.metainfo.xml" ]] || fail "metainfo file not named after its id $id"
    [[ $launchable == "$id.desktop" ]] || fail "launchable $launchable is not $id.desktop"
    local desktop="$root/usr/share/applications/$launchable"
    [[ -f $desktop ]] || fail "no /usr/share/applications/$launchable"

    local exec icon
    exec=$(desktop_value "$desktop" Exec)
    icon=$(desktop_value "$desktop" Icon)
    [[ -x "$root/usr/bin/${exec%% *}" ]] || fail "Exec=$exec is not in /usr/bin"
    [[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ]] || fail "no scalable icon $icon.svg"
    for size in 16 32 48 256; do
        local png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
        [[ -f $png ]] || fail "no ${size}x${size} icon $icon.png"
        [[ $(png_size "$png") == "${size}x${size}" ]] || fail "$png is $(png_size "$png")"
    done

    gzip -t "$root/usr/share/man/man1/tarnel.1.gz" || fail "no manual page"
    [[ -f "$root/usr/share/doc/tarnel/copyright" ]] || fail "no copyright file"

    echo "== desktop-file-validate"
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
    echo "== appstreamcli validate"
    appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"
    appstreamcli validate-tree --no-net --explain "$root" || fail "appstreamcli validate-tree"

    echo "== lintian"
    # Exit status 1 means tags at the failing level, 2 that lintian could not run.
    local report status=0
    report=$(lintian --display-info "$deb" 2>&1) || status=$?
    echo "$report"
    ((status < 2)) || fail "lintian could not check the package (status $status)"
    if grep -q '^E:' <<<"$report"; then
        fail "lintian reports errors"
    fi
    echo "PASS: $deb"
}

install_and_run() {
    if ((EUID != 0)); then
        echo "SKIP: installing the package needs root"
        exit 77
    fi
    need_tools apt-get dpkg Xvfb xwininfo xprop
    [[ -f $deb ]] || fail "no $deb: the package test did not make it"
    if dpkg-query -W -f='${Status}' tarnel 2>/dev/null | grep -q "ok installed"; then
        fail "a tarnel package is installed already; remove it first (apt-get remove tarnel)"
    fi

    # Globals, not locals: the exit trap runs after this function has returned.
    tmp=$(mktemp -d)
    installed=0 xvfb_pid="" tarnel_pid=""
    cleanup() {
        set +e
        [[ -n $tarnel_pid ]] && kill -KILL "$tarnel_pid" 2>/dev/null
        [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
        if ((installed)); then
            DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 tarnel >/dev/null ||
                echo "could not remove the tarnel package" >&2
        fi
        rm -rf "$tmp"
    }
    trap cleanup EXIT

    installed=1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$deb"
    dpkg --verify tarnel || fail "the installed files differ from the package"
    [[ -x /usr/bin/tarnel ]] || fail "no /usr/bin/tarnel after installing"

    # A user who has never run Tarnel, on a display without a notification
    # area: the window shows at once.
    mkdir -p "$tmp/home" "$tmp/run"
    chmod 700 "$tmp/run"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$tmp/display" ]] && break
        sleep 0.1
    done
    [[ -s "$tmp/display" ]] || fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    DISPLAY=":$(head -n1 "$tmp/display")"
    export DISPLAY

    env -u XDG_CONFIG_HOME -u WAYLAND_DISPLAY HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb \
        /usr/bin/tarnel >"$tmp/tarnel.log" 2>&1 &
    tarnel_pid=$!

    local window=""
    for _ in $(seq 300); do
        window=$(xwininfo -root -tree | awk '/"Tarnel! - Wake On Lan"/ { print $1; exit }')
        [[ -n $window ]] && break
        kill -0 "$tarnel_pid" 2>/dev/null || fail "tarnel ended at start-up: $(cat "$tmp/tarnel.log")"
        sleep 0.1
    done
    [[ -n $window ]] || fail "no Tarnel window within 30 seconds: $(cat "$tmp/tarnel.log")"

    # Desktops match the window to its menu entry by the window class.
    local desktop wm_class wm_class_key
    desktop=$(dpkg -L tarnel | grep '^/usr/share/applications/.*\.desktop$')
    wm_class=$(xprop -id "$window" WM_CLASS)
    wm_class_key=$(desktop_value "$desktop" StartupWMClass)
    [[ -z $wm_class_key || $wm_class == *"\"$wm_class_key\""* ]] ||
        fail "window class $wm_class does not match StartupWMClass=$wm_class_key"

    kill -TERM "$tarnel_pid"
    local status=0
    for _ in $(seq 200); do
        kill -0 "$tarnel_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$tarnel_pid" 2>/dev/null && fail "tarnel did not end within 20 seconds of SIGTERM"
    wait "$tarnel_pid" || status=$?
    tarnel_pid=""
    cat "$tmp/tarnel.log"
    ((status == 0)) || fail "tarnel ended with status $status after SIGTERM"

    [[ -f "$tmp/home/.config/tarnel/tarnel.ini" ]] ||
        fail "no ~/.config/tarnel/tarnel.ini; home holds: $(find "$tmp/home" -type f)"
    [[ ! -e /usr/bin/tarnel.ini ]] || fail "tarnel wrote its settings beside /usr/bin/tarnel"
    echo "tarnel.ini: $(cat "$tmp/home/.config/tarnel/tarnel.ini")"

    DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 tarnel
    installed=0
    [[ ! -e /usr/bin/tarnel ]] || fail "/usr/bin/tarnel is still there after removing the package"
    echo "PASS: installed, started, saved its settings in ~/.config/tarnel, removed"
}

case $mode in
build) build_package ;;
install) install_and_run ;;
*) fail "unknown mode $mode" ;;
esac
