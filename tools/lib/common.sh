# Shared by the tools: installing what is missing, and building Wine prefixes under the Korean locale.
# Sourced, not run.

QUENZO_PACKAGES=(
  cmake make g++-mingw-w64-x86-64-posix googletest python3 curl
  wine64 fonts-wine fonts-nanum locales
  xvfb xauth x11-utils imagemagick
  nsis
  sqlite3
)
# Only tools/stress-test needs these: the CPU burner it runs beside the tests.
QUENZO_STRESS_PACKAGES=(stress-ng)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"
  elif command -v sudo >/dev/null 2>&1; then sudo "$@"
  else echo "need root to run: $*" >&2; return 1
  fi
}

# Installs QUENZO_PACKAGES and any packages named as arguments that are missing.
ensure_deps() {
  local missing=() p
  for p in "${QUENZO_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  # The build fetches SQLite's sources with npm (cmake/Sqlite.cmake); npm is not ours to install.
  if ! command -v npm >/dev/null 2>&1; then
    echo "npm is missing: the build fetches SQLite's sources with it (install Node.js and npm)" >&2
    return 1
  fi
  if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
    echo "generating the ko_KR.UTF-8 locale"
    as_root sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

# Wine's environment for a prefix and a home: code page 949, no proxies (Wine follows them even for
# loopback), no Mono/Gecko installers, no debug noise.
wine_env() {
  export WINEPREFIX="$1" HOME="$2"
  export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8 2>/dev/null
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy no_proxy NO_PROXY
}

# Creates a prefix under the Korean locale (the fonts of captions and message boxes are chosen at
# creation). Runs headless and with stdio detached so no Wine service holds a caller's pipe.
create_prefix() {
  local prefix="$1" home="$2"
  mkdir -p "$home" "$(dirname "$prefix")"
  (
    wine_env "$prefix" "$home"
    unset DISPLAY
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    # Debian's Wine does not load its own Tahoma and Marlett: caption buttons would show letters.
    local f
    for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
      [ -e "/usr/share/wine/fonts/$f" ] && ln -sf "/usr/share/wine/fonts/$f" "$prefix/drive_c/windows/Fonts/$f"
    done
    # The dialogs ask for 돋움체; the fixed-pitch NanumGothicCoding keeps their layout closest.
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 돋움체 /d NanumGothicCoding /f \
      </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
  )
}

# Test prefixes show every window inside one Wine desktop: without a window manager on the test
# display, Wine draws captions and frames only there, and screenshots should show what a user sees.
use_virtual_desktop() {
  local prefix="$1" home="$2"
  (
    wine_env "$prefix" "$home"
    unset DISPLAY
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
  )
}

# A cheap copy of a template prefix: everything copied except system32, which is hard-linked
# (never link the whole prefix: Wine rewrites the registry files in place).
clone_prefix() {
  local template="$1" clone="$2"
  mkdir -p "$clone"
  (cd "$template" && tar --exclude=./drive_c/windows/system32 -cf - .) | (cd "$clone" && tar -xf -)
  cp -al "$template/drive_c/windows/system32" "$clone/drive_c/windows/system32"
}

# Runs a command so that a mistake in a test cannot reach anyone's files. Wine reaches the Linux
# root through \\?\unix\ paths (and a process whose current folder lies outside the prefix works
# relative to it) even without drive Z:, so removing the drive alone does not protect the machine.
# In a private mount namespace every mount is read-only but ENVDIR and what is mounted inside it,
# and /tmp is ENVDIR/tmp with the X server's sockets bound in (Wine keeps its server socket under
# /tmp). Refuses to run the command if a mount that can hold data stays writable.
jailed() {
  local envdir
  envdir=$(realpath -m "$1"); shift
  case "$envdir/" in
    /tmp/*) echo "the test environment must not lie under /tmp: $envdir" >&2; return 2 ;;
  esac
  mkdir -p "$envdir/tmp/.X11-unix"
  # A user namespace of its own, even for root: the kernel then refuses the jail the links of
  # /proc/PID/ (root, cwd, fd) of every process outside it, which lead past all of its mounts.
  local ns=(unshare --user --map-root-user --mount --propagation private) processes=1
  if ! "${ns[@]}" -- true 2>/dev/null && [ "$(id -u)" = 0 ]; then
    echo "warning: no user namespace here; processes outside the jail are reachable through /proc" >&2
    ns=(unshare --mount --propagation private) processes=0
  fi
  if ! "${ns[@]}" -- true 2>/dev/null; then
    # Some containers forbid mount namespaces. The prefix, HOME, the missing drive Z: and the
    # program's start in C:\ still hold; environment_tests reports the jail as missing.
    echo "warning: no mount namespace here; running without the read-only jail" >&2
    QUENZO_JAILED=0 "$@"
    return
  fi
  "${ns[@]}" -- /bin/bash -c "$(declare -f jail_mounts)"'
    jail_mounts "$1" || exit 3
    export QUENZO_JAILED=1 QUENZO_JAIL_HIDES_PROCESSES=$2
    shift 2
    exec "$@"' jailed "$envdir" "$processes" "$@"
}

# The mounts of the jail, made inside its namespace. Remounting a mount read-only leaves the mounts
# below it writable, so every entry of the mount table is remounted on its own; ENVDIR and /tmp are
# bound first (recursively, so a file system mounted inside ENVDIR stays writable) and left out.
# A read-only mount still lets a device be written (/dev/vda is the disk): devices are refused on
# every mount but the harmless ones, bound over themselves, and the terminals.
# Returns non-zero, with the mount named, if one that can hold data is still writable.
jail_mounts() {
  local envdir="$1" line point opts fstype wanted node devices=$'\n' seen=$'\n'
  local -a table fields
  mount --rbind "$envdir" "$envdir" || return
  if [ -d /tmp/.X11-unix ]; then mount --bind /tmp/.X11-unix "$envdir/tmp/.X11-unix" || return; fi
  mount --rbind "$envdir/tmp" /tmp || return
  for node in null zero full random urandom tty ptmx; do
    [ -e "/dev/$node" ] || continue
    node=$(realpath "/dev/$node")
    mount --bind "$node" "$node" || return
    devices+="$node"$'\n'
  done
  mapfile -t table </proc/self/mountinfo
  for line in "${table[@]}"; do
    read -r -a fields <<<"$line"
    # mountinfo escapes blanks and backslashes in paths as octal (\040).
    printf -v point '%b' "${fields[4]}"
    opts=",${fields[5]},"
    fstype=${line#* - }; fstype=${fstype%% *}
    case "$point" in "$envdir" | "$envdir"/* | /tmp | /tmp/*) continue ;; esac
    wanted=ro,nodev
    case "$devices" in *$'\n'"$point"$'\n'*) wanted=ro ;; esac
    [ "$fstype" != devpts ] || wanted=ro
    [[ $opts == *,ro,* && ($wanted == ro || $opts == *,nodev,*) ]] && continue
    # Mounts stacked on one path: the path reaches the top one, the only one reachable.
    case "$seen" in *$'\n'"$point"$'\n'*) continue ;; esac
    seen+="$point"$'\n'
    mount -o "remount,bind,$wanted" -- "$point" 2>/dev/null && continue
    # What nothing can reach cannot be written either (another user's FUSE mount, a path hidden
    # by a mount above it); writing to the kernel's own file systems destroys no one's files.
    [ -e "$point" ] || continue
    case "$fstype" in
      proc | sysfs | cgroup | cgroup2 | securityfs | debugfs | tracefs | pstore | bpf | configfs | \
        fusectl | binfmt_misc | mqueue | devpts | efivarfs | selinuxfs | nsfs) continue ;;
    esac
    echo "jail: cannot remount $point ($fstype) $wanted; refusing to run" >&2
    return 1
  done
}

# Drive Z: is the Linux root: a test prefix must not have it.
remove_root_drive() {
  rm -f "$1/dosdevices/z:"
  if [ -e "$1/dosdevices/z:" ] || [ -L "$1/dosdevices/z:" ]; then
    echo "refusing to go on: $1/dosdevices/z: still exists" >&2
    return 1
  fi
}

# Small drives of its own for a test program that fills drives (QUENZO_SMALL_DRIVES=1), mounted
# inside the jail, whose user namespace may mount tmpfs: they vanish with it and never reach a
# real disk. ENVDIR/mnt/small: 8 MiB and few inodes, so that making files until none can be made
# ends soon; ENVDIR/mnt/readonly: read-only. Each holds a file "probe" for the drive-letter wait.
mount_small_drives() {
  local envdir="$1"
  mkdir -p "$envdir/mnt/small" "$envdir/mnt/readonly" || return
  mount -t tmpfs -o size=8m,nr_inodes=200 quenzo-small "$envdir/mnt/small" || return
  mount -t tmpfs -o size=1m quenzo-readonly "$envdir/mnt/readonly" || return
  echo probe >"$envdir/mnt/small/probe"
  echo probe >"$envdir/mnt/readonly/probe"
  mount -o remount,ro "$envdir/mnt/readonly"
}
