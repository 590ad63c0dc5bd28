#!/bin/sh
# Checks the Debian package the way a user meets it: its metadata passes the validators and
# lintian; as root on a machine where Vantrel is not installed, it is also installed with apt, the
# installed programs are tried on a virtual desktop (the popover opens, a second start hands over
# to the first and exits 0), and it is removed again leaving nothing behind.
#   tools/check_package.sh PACKAGE.deb BUILD_DIR
set -eu

deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== validating $deb"
dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/com.corvane.vantrel.desktop"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/com.corvane.vantrel.metainfo.xml"
lintian --fail-on error "$deb"

if [ "$(id -u)" -ne 0 ]; then
    echo "== not root: the package was not installed (CI installs and removes it)"
    exit 0
fi
if dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q 'install ok installed'; then
    echo "== vantrel is installed on this machine already: left alone, not installed again"
    exit 0
fi

echo "== installing"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb"
files=$(dpkg-query -L vantrel)
status=0
for program in /usr/bin/vantrel /usr/bin/vantrel-defaults; do
    "$program" --help > /dev/null
done
/usr/bin/vantrel --version | grep -q '^vantrel [0-9]'
# KWin permits its window management to the program an entry's Exec names, symlinks resolved.
entry=/usr/share/applications/com.corvane.vantrel.desktop
exec_path=$(sed -n 's/^Exec=//p' "$entry")
if [ "$(readlink -f "$exec_path")" != "$(readlink -f /usr/bin/vantrel)" ] ||
    ! grep -qx 'X-KDE-Wayland-Interfaces=org_kde_plasma_window_management' "$entry"; then
    echo "the desktop entry does not name the installed program for KWin: Exec=$exec_path" >&2
    status=1
fi
VANTREL_PROGRAM=/usr/bin/vantrel \
    VANTREL_DEFAULTS_TOOL=/usr/bin/vantrel-defaults \
    VANTREL_E2E_APP="$build/tests/e2e/vantrel-e2e-app" \
    VANTREL_E2E_SET_PASSWORD="$build/tests/e2e/vantrel-e2e-set-password" \
    VANTREL_E2E_SCREENSHOTS="$build/e2e-screenshots" \
    python3 "$root/tests/e2e/lock_e2e_test.py" \
    SingleInstanceTest.test_second_start_shows_the_first_and_ends \
    LoginItemTest.test_login_item_starts_the_vantrel_of_its_bundle || status=1
# On KWin with its permission checks on, only the installed entry lets Vantrel see the windows.
if dpkg-query -W -f='${Status}' kwin-wayland 2>/dev/null | grep -q 'install ok installed'; then
    VANTREL_PROGRAM=/usr/bin/vantrel \
        VANTREL_DEFAULTS_TOOL=/usr/bin/vantrel-defaults \
        VANTREL_E2E_APP="$build/tests/e2e/vantrel-e2e-app" \
        VANTREL_E2E_SET_PASSWORD="$build/tests/e2e/vantrel-e2e-set-password" \
        VANTREL_E2E_KWIN_INPUT="$build/tests/e2e/vantrel-e2e-kwin-input" \
        VANTREL_E2E_KWIN_PERMISSION_CHECKS=1 \
        VANTREL_E2E_SCREENSHOTS="$build/e2e-screenshots" \
        python3 "$root/tests/e2e/kwin_e2e_test.py" \
        KWinLockTest.test_keys_go_to_the_prompt_and_the_password_unlocks || status=1
fi

echo "== removing"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -q vantrel
left=""
for file in $files /usr/lib/vantrel /usr/share/doc/vantrel; do
    # Folders shared with other packages (/usr/share/icons/…) stay; our files and folders go.
    case "$file" in
    /usr/lib/vantrel | /usr/share/doc/vantrel) [ -e "$file" ] && left="$left $file" ;;
    *) [ -e "$file" ] && [ ! -d "$file" ] && left="$left $file" ;;
    esac
done
if [ -n "$left" ]; then
    echo "left behind after removal:$left" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "== the package installs, runs and goes cleanly"
exit "$status"
