# Environment for this project's Windows programs under Wine. Source it:
#   . tools/wine-env.sh && vj_wine_prefix && wine prog.exe
# VJ_BUILD_DIR (default <repo>/build) holds the prefix (wineprefix/) and
# the simulated ports (sim/com1 .. sim/com5, which Wine maps to COM1..COM5).

VJ_BUILD_DIR=$(realpath -m "${VJ_BUILD_DIR:-$(dirname "${BASH_SOURCE[0]}")/../build}")
export VJ_BUILD_DIR
export VJ_SIM_DIR=$VJ_BUILD_DIR/sim
export WINEPREFIX=$VJ_BUILD_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts, and no debugger started on a crash.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Where 32-bit programs run through qemu-user, this reservation makes a
# Wine start take seconds instead of a minute; elsewhere it is unused.
export QEMU_RESERVED_VA=0x82000000

# Creates the prefix once, with COM1..COM5 pointing at $VJ_SIM_DIR/com1..com5,
# where run-under-wine.sh puts a simulator's link or a directory that makes
# the open fail. Safe against concurrent callers.
vj_wine_prefix() {
    mkdir -p "$VJ_BUILD_DIR" "$VJ_SIM_DIR" || return
    (
        flock 9 || exit
        [ -e "$WINEPREFIX/.vj-ready" ] && exit 0
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 9>&- || { echo "vj_wine_prefix: wineboot failed" >&2; exit 1; }
        # The registry file is only read at server start and rewritten at
        # its exit: edit it while no server runs.
        wineserver -w 9>&-
        local path
        {
            printf '\n[Software\\\\Wine\\\\Ports] %s\n' "$(date +%s)"
            for n in 1 2 3 4 5; do
                path=$VJ_SIM_DIR/com$n
                path=${path//\\/\\\\}
                printf '"COM%s"="%s"\n' "$n" "${path//\"/\\\"}"
            done
        } >>"$WINEPREFIX/system.reg" || exit
        touch "$WINEPREFIX/.vj-ready"
    ) 9>"$VJ_BUILD_DIR/wineprefix.lock"
}
