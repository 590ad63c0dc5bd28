#!/bin/sh
# A Debian 13 root of the project's own, to build, test and package for Debian 13 from Debian 12.
#   tools/debian13_root.sh path                  make the root unless it is cached; print its path
#   tools/debian13_root.sh run BUILD_DIR CMD...  run CMD as root in the root, in /src: the source
#                                                tree read-only at /src, BUILD_DIR at /build
# The root is made by mmdebstrap from the archive this machine's apt uses, with the packages of
# tools/debian13_root.packages, and cached by a hash of them: under /var/cache/vantrel/roots as
# root, else under ${XDG_CACHE_HOME:-~/.cache}/vantrel/roots (then mmdebstrap's unshare mode,
# where the kernel allows user namespaces). It is made aside and renamed into place once complete.
# CMD runs in private mount and PID namespaces on an overlay of the cached root: its mounts and
# processes end with it, and what it installs or writes outside /build is thrown away.
set -eu

release=trixie
src=$(cd "$(dirname "$0")/.." && pwd)
packages_file="$src/tools/debian13_root.packages"
# Raise when the way the root is made changes, so that older cached roots are not taken.
layout=1

if [ "$(id -u)" -eq 0 ]; then
    cache=/var/cache/vantrel/roots
else
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/roots
fi

packages() {
    sed -e 's/#.*//' "$packages_file" | tr -s ' \t\n' '\n' | sed '/^$/d' | sort -u
}

# The archive this machine's apt takes its release from: the first source, in either format,
# that serves this release's codename itself (not its -updates or -security).
mirror() {
    # shellcheck disable=SC1091
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        case "$file" in
        *.sources)
            # Stanzas of deb822 fields, one blank line apart.
            awk -v codename="$codename" '
                function flush() {
                    if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " codename " "))
                        print uris
                    types = ""; suites = ""; uris = ""
                }
                /^[[:space:]]*$/ { flush(); next }
                /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
                /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
                /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $1 }
                END { flush() }' "$file"
            ;;
        *)
            # deb [options] URI suite components
            sed -e 's/\[[^]]*\]//' "$file" |
                awk -v codename="$codename" '$1 == "deb" && $3 == codename { print $2 }'
            ;;
        esac
    done | head -n 1
}

root_path() {
    key=$({ echo "$layout $release $(mirror)"; packages; } | sha256sum | cut -c1-16)
    echo "$cache/debian13-$key"
}

make_root() {
    target=$1
    archive=$(mirror)
    [ -n "$archive" ] || { echo "no Debian archive in /etc/apt/sources*" >&2; exit 1; }
    mkdir -p "$cache"
    remove_stale
    partial="$cache/.partial-$(basename "$target")-$$"
    trap 'remove_tree "$partial"' EXIT
    trap 'exit 130' INT TERM
    include=$(packages | paste -sd, -)
    echo "== making the Debian 13 root $target from $archive (about a minute)" >&2
    if [ "$(id -u)" -eq 0 ]; then
        mmdebstrap --quiet --mode=root --variant=apt --include="$include" \
            "$release" "$partial" "$archive" >&2
    else
        # Without root the files are owned by subordinate ids; unpacked in a user namespace as
        # its root, they become ours, and ours is root again when the root is entered the same way.
        mkdir -p "$partial"
        mmdebstrap --quiet --mode=unshare --variant=apt --skip=output/dev --include="$include" \
            "$release" "$partial/root.tar" "$archive" >&2
        mkdir "$partial/tree"
        unshare --map-root-user tar -C "$partial/tree" --no-same-owner -xf "$partial/root.tar"
        rm "$partial/root.tar"
        mv "$partial/tree" "$partial.tree"
        rmdir "$partial"
        mv "$partial.tree" "$partial"
    fi
    # Another run may have finished the same root meanwhile; then ours goes.
    mv -T "$partial" "$target" 2>/dev/null || remove_tree "$partial"
    trap - EXIT INT TERM
}

# Partial roots and runs' overlays (named after the process that made them) whose process was
# killed outright, and so could not remove them.
remove_stale() {
    for stale in "$cache"/.partial-* "$cache"/.run-*; do
        [ -e "$stale" ] || continue
        kill -0 "${stale##*-}" 2>/dev/null || remove_tree "$stale"
    done
}

# A partial root that mmdebstrap left with /proc, /sys or /dev mounted in it (killed outright)
# stays: removing it would remove through the mounts.
remove_tree() {
    [ -e "$1" ] || return 0
    if grep -q " $1/" /proc/self/mounts; then
        echo "left in place, something is mounted in it: $1" >&2
        return 0
    fi
    if [ "$(id -u)" -eq 0 ]; then
        rm -rf --one-file-system "$1"
    else
        unshare --map-root-user rm -rf --one-file-system "$1"
    fi
}

ensure_root() {
    target=$(root_path)
    [ -d "$target" ] || make_root "$target"
    echo "$target"
}

case "${1:-}" in
path)
    ensure_root
    ;;
run)
    [ $# -ge 3 ] || { echo "usage: tools/debian13_root.sh run BUILD_DIR CMD..." >&2; exit 2; }
    mkdir -p "$2"
    build=$(cd "$2" && pwd)
    shift 2
    lower=$(ensure_root)
    remove_stale
    scratch="$cache/.run-$$"
    mkdir "$scratch"
    trap 'remove_tree "$scratch"' EXIT
    mkdir "$scratch/upper" "$scratch/work" "$scratch/merged"
    # --kill-child: when unshare ends, however, the namespaces' first process is killed, and with
    # it every process in them, and their mounts go.
    namespaces="--mount --pid --fork --kill-child --propagation private"
    [ "$(id -u)" -eq 0 ] || namespaces="--map-root-user $namespaces"
    # In the background, so that a signal to this script alone ends it at once (unshare ignores
    # INT and TERM while it waits, so it is killed outright); with its input.
    exec 3<&0
    # shellcheck disable=SC2086
    unshare $namespaces "$0" __enter "$lower" "$scratch" "$build" "$@" <&3 3<&- &
    child=$!
    interrupted=""
    trap 'interrupted=1; kill -KILL "$child" 2>/dev/null' INT TERM
    while :; do
        status=0
        wait "$child" || status=$?
        kill -0 "$child" 2>/dev/null || break
    done
    [ -z "$interrupted" ] || status=130
    exit "$status"
    ;;
__enter)
    # PID 1 of the new namespaces, with mounts of its own: they go when it ends.
    lower=$2 scratch=$3 build=$4
    shift 4
    merged=$scratch/merged
    mount -t overlay overlay \
        -o "lowerdir=$lower,upperdir=$scratch/upper,workdir=$scratch/work" "$merged"
    mount -t proc proc "$merged/proc"
    mount --rbind /sys "$merged/sys"
    mount --rbind /dev "$merged/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$merged/tmp"
    mkdir -p "$merged/src" "$merged/build"
    mount --bind "$src" "$merged/src"
    mount -o remount,bind,ro "$merged/src"
    mount --bind "$build" "$merged/build"
    status=0
    chroot "$merged" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
        HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" ${VANTREL_JOBS:+VANTREL_JOBS=$VANTREL_JOBS} \
        /bin/sh -c 'cd /src && exec "$@"' sh "$@" || status=$?
    exit "$status"
    ;;
*)
    echo "usage: tools/debian13_root.sh path | run BUILD_DIR CMD..." >&2
    exit 2
    ;;
esac
