# Play refuses what it cannot play, cleanly: nothing opened, nothing written, no end notice.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

songs="$WORK/songs"
mkdir -p "$songs/folder.mod"
write_mod "$songs/y.mod" abc 24
head -c 1500 "$songs/y.mod" >"$songs/damaged.mod"
cp "$(find "$CORPUS/not-modules" -type f | sort | head -1)" "$songs/fake.mod"

refused() { # what report [open calls]
    expect_eq "$1: play answer" "$(key play_result "$2")" 1
    expect_eq "$1: output opened" "$(key open_calls "$2")" "${3:-0}"
    expect_eq "$1: bytes written" "$(key written_bytes "$2")" 0
    expect_eq "$1: end notices" "$(key eof_count "$2")" 0
}

for f in missing.mod folder.mod damaged.mod fake.mod; do
    if winhost play "$PLUGIN" "$(winpath "$songs/$f")" "$(winpath "$WORK/$f.wav")" >"$WORK/$f.txt"; then
        refused "$f" "$WORK/$f.txt"
    else
        fail "$f: the host failed"
    fi
done

# An output plug-in that cannot open.
winhost play "$PLUGIN" "$(winpath "$songs/y.mod")" "$(winpath "$WORK/o.wav")" --fail-open >"$WORK/open.txt"
refused "output that cannot open" "$WORK/open.txt" 1

# A format switched off.
home="$WORK/home"
mkdir -p "$home/settings/Plugins"
write_settings "$home/settings/Plugins/in_tolva.dat" enableMod=0 enableMod15=0
winhost play "$PLUGIN" "$(winpath "$songs/y.mod")" "$(winpath "$WORK/off.wav")" \
    --home "$(winpath "$home")" >"$WORK/off.txt"
refused "MOD switched off" "$WORK/off.txt"

finish
