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
    expect_eq "dialog found ($*)" "$(key dialog_found "$report")" 1
    expect_eq "dialog left open ($*)" "$(key dialog_left_open "$report")" ""
}

# The state of a control read by a read:ID action: "enabled,checked,text".
control_state() { # report id
    key "control_$2" "$1"
}

# The settings file's bytes as hex, for comparing with write_settings output.
hex_of() {
    od -An -tx1 -v "$1" | tr -d ' \n'
}
