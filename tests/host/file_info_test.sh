# What the playlist asks about a file: is it ours (by content, not by name), its title in each
# title format and its length; and Play refusing what it cannot play, cleanly.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

songs="$WORK/songs"
home="$WORK/home"
dat="$home/settings/Plugins/in_tolva.dat"
mkdir -p "$songs/folder.mod" "$home/settings/Plugins"
write_mod "$songs/y.mod" abc 24 40
write_mod "$songs/untitled.mod" "" 24
cp "$songs/y.mod" "$songs/renamed.xyz"
head -c 1500 "$songs/y.mod" >"$songs/damaged.mod" # cut inside the pattern data
cp "$(find "$CORPUS/not-modules" -type f | sort | head -1)" "$songs/fake.mod"
win() { winpath "$songs/$1"; }
info() { # report file key
    info_value "$WORK/$1.txt" "$(win "$2")" "$3"
}

for format in 0 1 2; do
    write_settings "$dat" titleFormat=$format
    winhost info "$PLUGIN" "$(win y.mod)" "$(win untitled.mod)" "$(win fake.mod)" \
        "$(win missing.mod)" --home "$(winpath "$home")" >"$WORK/info$format.txt"
done
# Title format, file: the title.
for c in "0 y.mod:abc" "0 untitled.mod:untitled.mod" "0 missing.mod:missing.mod" \
    "1 y.mod:abc - y.mod" "1 untitled.mod:untitled.mod" "2 y.mod:TOLVA: abc - y.mod" \
    "2 untitled.mod:TOLVA: untitled.mod" "2 fake.mod:TOLVA: fake.mod"; do
    read -r format f <<<"${c%%:*}"
    expect_eq "format $format, $f" "$(info "info$format" "$f" title)" "${c#*:}"
done

# One pattern of 64 rows at speed 6 and 125 BPM: 384 ticks of 882 frames, the first at frame 0,
# at 44100 per second. With silence removal the length leaves out the silence before the first
# audible second (2 s), though the playlist loads songs without samples.
winhost info "$PLUGIN" "$(win y.mod)" "$(win renamed.xyz)" "$(win damaged.mod)" \
    "$(win fake.mod)" "$(win missing.mod)" --home "$(winpath "$home")" >"$WORK/ours.txt"
for f in y.mod=1,7680 renamed.xyz=1,7680 damaged.mod=0,0 fake.mod=0,0 missing.mod=0,0; do
    expect_eq "${f%=*}: ours, length" "$(info ours "${f%=*}" isourfile),$(info ours "${f%=*}" length)" "${f#*=}"
done
write_settings "$dat" removeSilence=1
winhost info "$PLUGIN" "$(win y.mod)" --home "$(winpath "$home")" >"$WORK/trim.txt"
expect_eq "length without silence" "$(info trim y.mod length)" 5680

refused() { # what report [open calls]
    expect_keys "$2" play_result=1 open_calls="${3:-0}" written_bytes=0 eof_count=0
}
for f in missing.mod folder.mod damaged.mod fake.mod; do
    winhost play "$PLUGIN" "$(win $f)" "$(winpath "$WORK/$f.wav")" >"$WORK/$f.txt" ||
        fail "$f: the host failed"
    refused "$f" "$WORK/$f.txt"
done
winhost play "$PLUGIN" "$(win y.mod)" "$(winpath "$WORK/o.wav")" --fail-open >"$WORK/open.txt"
refused "output that cannot open" "$WORK/open.txt" 1

# Switching MOD off in the settings makes the same file foreign.
write_settings "$dat" enableMod=0 enableMod15=0
winhost info "$PLUGIN" "$(win y.mod)" --home "$(winpath "$home")" >"$WORK/off.txt"
expect_eq "module with MOD switched off" "$(info off y.mod isourfile)" 0
winhost play "$PLUGIN" "$(win y.mod)" "$(winpath "$WORK/off.wav")" --home "$(winpath "$home")" \
    >"$WORK/off-play.txt"
refused "MOD switched off" "$WORK/off-play.txt"
finish
