# Sourced: the Wine environment of the project's tests and demo.
#   wine_env BUILD_DIR PREFIX  sets WINEPREFIX and keeps HOME/XDG_* inside the build tree.
wine_env() {
  local build=$1 prefix=$2
  export WINEPREFIX=$prefix
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG_OVERRIDE:--all}
  # No Mono/Gecko installers, no Linux menu entries.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME=$build/home
  export XDG_CONFIG_HOME=$build/home/.config
  export XDG_DATA_HOME=$build/home/.local/share
  export XDG_CACHE_HOME=$build/home/.cache
  export XDG_RUNTIME_DIR=$build/home/.run
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  # The product's users run Chinese Windows: ANSI code page 936.
  export LC_ALL=${TEST_LOCALE:-zh_CN.UTF-8}
  unset DISPLAY_FOR_WINE
}

# Runs a command in a private network namespace: loopback, plus a veth pair
# holding a default route that leads nowhere, so that the program believes it
# is online while nothing can leave the machine.
netns_run() {
  unshare -n -- bash -c '
    set -e
    ip link set lo up
    ip link add nsv0 type veth peer name nsv1
    ip addr add 192.0.2.1/24 dev nsv0
    ip link set nsv0 up
    ip link set nsv1 up
    ip route add default via 192.0.2.254 dev nsv0
    exec "$@"' netns "$@"
}

# wait_for_prefix_programs NAME SECONDS: waits while a program called NAME
# runs in this WINEPREFIX (and only this one: other prefixes are not looked at).
wait_for_prefix_programs() {
  local name=$1 limit=$2 waited=0 pid found
  while [ "$waited" -lt $((limit * 5)) ]; do
    found=0
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
      tr '\0' '\n' 2>/dev/null < "/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
      tr '\0' ' ' 2>/dev/null < "/proc/$pid/cmdline" | grep -qiF "$name" && { found=1; break; }
    done
    [ "$found" -eq 0 ] && return 0
    sleep 0.2; waited=$((waited + 1))
  done
  return 1
}
