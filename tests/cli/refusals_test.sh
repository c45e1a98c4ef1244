# What the tool says about files it cannot play, and its exit statuses.
source "$(dirname "$0")/lib.sh"

for file in "$corpus"/not-modules/*; do
    [[ -f $file ]] || continue
    expect_status 2 info "$file"
    expect_contains "$err" "tolva: $file: not a module in a supported format"
done

expect_status 1 render "$work/missing.mod"
expect_contains "$err" "tolva: $work/missing.mod: no such file"

# A tagged MOD cut inside its patterns.
head -c 2000 "$demo" >"$work/cut.mod"
expect_status 1 info "$work/cut.mod"
expect_contains "$err" "tolva: $work/cut.mod: damaged or unsupported file"

# An XM header of a version the player does not know.
{ printf 'Extended Module: '; head -c 41 /dev/zero; printf '\x02\x01'; head -c 400 /dev/zero; } \
    >"$work/old.xm"
expect_status 2 render "$work/old.xm" -o "$work/old.wav"
expect_contains "$err" "unsupported version"

# Switched-off formats are refused like files of no format.
expect_status 2 info "$demo" --disable mod
"$tolva" settings --disable mod --write "$work/nomod.dat"
expect_status 0 info "$demo" --settings "$work/nomod.dat" --enable mod
expect_status 1 bogus-command

finish
