# tolva settings: showing and writing in_tolva.dat, and --settings on the other commands.
source "$(dirname "$0")/lib.sh"

# Shown under the options' names and in their units.
expect_status 0 settings --amp 3.5
expect_contains "$out" "rate                    44100" "amp                     3.5" \
    "mod-panning             off"

expect_status 0 settings --write "$work/in_tolva.dat" --rate 48000 --mono --amp -1.5 \
    --disable it --remove-silence --trailing-silence 3
expect_status 0 settings "$work/in_tolva.dat" --json
expect_contains "$out" '"mixingFrequency":48000' '"trailingSilenceSeconds":3' '"removeSilence":1'

# Editing in place keeps the other fields.
expect_status 0 settings "$work/in_tolva.dat" --write "$work/in_tolva.dat" --no-mono
expect_status 0 settings --settings "$work/in_tolva.dat"
expect_contains "$out" "mono                    off" "rate                    48000" \
    "disable                 it"

# The other commands take it: 23040 ms at 48000 Hz is 1105920 frames.
expect_status 0 render "$demo" --settings "$work/in_tolva.dat" -o "$work/demo.raw"
expect_equal "$(stat -c %s "$work/demo.raw")" $((1105920 * 4)) "frames at the file's rate"
# Options given on the command line win over the file.
expect_status 0 render "$demo" --settings "$work/in_tolva.dat" --rate 44100 -o "$work/demo.raw" --force
expect_equal "$(stat -c %s "$work/demo.raw")" $((1016064 * 4)) "frames at --rate"

# A file holding values the plug-in cannot use: they are shown as they are, and marked.
{ printf '\7\0\0\0\5\0\0\0\xe8\3\0\0'; tail -c +13 "$work/in_tolva.dat"; } >"$work/odd.dat"
expect_status 0 settings "$work/odd.dat"
expect_contains "$out" "rate                    1000  (unusable: the plug-in plays with 44100)" \
    "length-mode             5  (unusable: the plug-in plays with no-backward-jumps)" \
    "title-format            7  (unusable: the plug-in plays with 2)"
expect_status 0 settings --json --settings "$work/odd.dat"
expect_contains "$out" '"mixingFrequency":1000,' \
    '"replaced":{"titleFormat":2,"lengthMode":0,"mixingFrequency":44100}}'

finish
