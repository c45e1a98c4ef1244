# What the playlist asks about a file: is it ours (by content, not by name), its title in each
# title format, and its length.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

songs="$WORK/songs"
mkdir -p "$songs"
write_mod "$songs/y.mod" abc 24 40
write_mod "$songs/untitled.mod" "" 24
cp "$songs/y.mod" "$songs/renamed.xyz"
head -c 1500 "$songs/y.mod" >"$songs/damaged.mod" # cut inside the pattern data
not_module=$(find "$CORPUS/not-modules" -type f | sort | head -1)
cp "$not_module" "$songs/fake.mod"
files=(y.mod untitled.mod renamed.xyz damaged.mod fake.mod missing.mod)
winfiles=()
for f in "${files[@]}"; do winfiles+=("$(winpath "$songs/$f")"); done

home="$WORK/home"
mkdir -p "$home/settings/Plugins"
for format in 0 1 2; do
    write_settings "$home/settings/Plugins/in_tolva.dat" titleFormat=$format
    winhost info "$PLUGIN" "${winfiles[@]}" --home "$(winpath "$home")" >"$WORK/info$format.txt"
done
title() { info_value "$WORK/info$1.txt" "$(winpath "$songs/$2")" title; }
expect_eq "format 0, titled" "$(title 0 y.mod)" "abc"
expect_eq "format 0, untitled" "$(title 0 untitled.mod)" "untitled.mod"
expect_eq "format 1, titled" "$(title 1 y.mod)" "abc - y.mod"
expect_eq "format 1, untitled" "$(title 1 untitled.mod)" "untitled.mod"
expect_eq "format 2, titled" "$(title 2 y.mod)" "TOLVA: abc - y.mod"
expect_eq "format 2, untitled" "$(title 2 untitled.mod)" "TOLVA: untitled.mod"
expect_eq "format 2, not a module" "$(title 2 fake.mod)" "TOLVA: fake.mod"
expect_eq "format 0, missing file" "$(title 0 missing.mod)" "missing.mod"

info() { info_value "$WORK/info2.txt" "$(winpath "$songs/$1")" "$2"; }
expect_eq "module is ours" "$(info y.mod isourfile)" 1
expect_eq "module under another extension is ours" "$(info renamed.xyz isourfile)" 1
expect_eq "damaged module is not ours" "$(info damaged.mod isourfile)" 0
expect_eq "module extension on another file is not ours" "$(info fake.mod isourfile)" 0
expect_eq "missing file is not ours" "$(info missing.mod isourfile)" 0
for f in damaged.mod fake.mod missing.mod; do
    expect_eq "length of $f" "$(info $f length)" 0
done
# One pattern of 64 rows at speed 6 and 125 BPM: the first row comes with the first tick, at
# frame 0, the end with tick 64 x 6 = 384 of 882 frames, at frame 338688 of 44100 per second.
expect_eq "length of one pattern" "$(info y.mod length)" 7680

# With silence removal the playlist length leaves out the silence before the first audible
# second (2 s) and the song ends at 7.68 s, though the playlist loads songs without samples.
write_settings "$home/settings/Plugins/in_tolva.dat" removeSilence=1
winhost info "$PLUGIN" "$(winpath "$songs/y.mod")" --home "$(winpath "$home")" >"$WORK/trim.txt"
expect_eq "length without silence" "$(info_value "$WORK/trim.txt" "$(winpath "$songs/y.mod")" length)" 5680

# Switching MOD off in the settings makes the same file foreign.
write_settings "$home/settings/Plugins/in_tolva.dat" enableMod=0 enableMod15=0
winhost info "$PLUGIN" "$(winpath "$songs/y.mod")" --home "$(winpath "$home")" >"$WORK/off.txt"
expect_eq "module with MOD switched off" "$(info_value "$WORK/off.txt" "$(winpath "$songs/y.mod")" isourfile)" 0

finish
