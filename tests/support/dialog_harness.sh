# Shared by the dialog tests: runs the test host with a dialog open on the X display that
# scripts/test provides, takes the pictures the host asks for, and reads control states.
source "$SUPPORT/plugin_harness.sh"

if [[ -z "${DISPLAY:-}" ]]; then
    echo "SKIP: no X display for the dialogs" >&2
    exit 77
fi

# Wine draws the window frames itself, so pictures show captions without a window manager.
"$WINE_RUN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# drive_dialog REPORT COMMAND ARGS... : runs winhost COMMAND ARGS... --shots $WORK and, for
# every shot:NAME action, writes $WORK/NAME.png: the dialog's rectangle of the screen.
drive_dialog() {
    local report=$1
    shift
    winhost "$@" --shots "$(winpath "$WORK")" >"$report" &
    local host=$! ready name
    while kill -0 "$host" 2>/dev/null; do
        for ready in "$WORK"/*.ready; do
            [[ -e "$ready" ]] || continue
            name=${ready%.ready}
            import -window root -crop "$(tr -d '\r\n' <"$ready")" +repage "$name.png" ||
                fail "no picture $name.png"
            rm -f "$ready"
            touch "$name.done"
        done
        sleep 0.2
    done
    wait "$host" || fail "winhost $1 failed"
    expect_keys "$report" dialog_found=1 dialog_left_open=
}

# The states ("enabled,checked,text") read by read:ID actions, each ID=STATE the next read of ID.
expect_controls() { # report id=state...
    local report=$1 pair id
    local -A seen=()
    shift
    for pair; do
        id=${pair%%=*}
        seen[$id]=$((${seen[$id]:-0} + 1))
        expect_eq "$(basename "$report") control $id" \
            "$(sed -n "s/^control_$id=//p" "$report" | sed -n "${seen[$id]}p")" "${pair#*=}"
    done
}
