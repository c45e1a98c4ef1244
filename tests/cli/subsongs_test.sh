# Subsongs in the tool: info lists them, render takes --subsong and --all-subsongs.
source "$(dirname "$0")/lib.sh"

# Three tunes, one per order, of 16, 32 and 48 rows: 1.92, 3.84 and 5.76 s.
tunes="$work/tunes.mod"
"$(dirname "$demo")/tests/write_test_mod" "$tunes" tunes --tunes 3 0 || fail "cannot write $tunes"
expect_status 0 info "$tunes"
expect_contains "$out" "Length:      0:01.920" \
    $'Subsongs:    3\n    1 order   0  0:01.920\n    2 order   1  0:03.840\n    3 order   2  0:05.760'
expect_status 0 info --json "$tunes" "$demo"
expect_contains "$out" '"subsongs":[{"start_order":0,"length_ms":1920,"looped":false},'`
    `'{"start_order":1,"length_ms":3840,"looped":false},'`
    `'{"start_order":2,"length_ms":5760,"looped":false}]' \
    '"subsongs":[{"start_order":0,"length_ms":23040,"looped":false}]'

# Subsong N alone, or each into a file of its own; 44100 frames of 4 bytes a second.
expect_status 0 render "$tunes" --subsong 2 -o "$work/two.raw"
expect_equal "$(stat -c %s "$work/two.raw")" $((169344 * 4)) "subsong 2"
expect_status 0 render "$tunes" --all-subsongs -o "$work/all.raw"
for n in 1 2 3; do
    file="$work/all.raw"
    [[ $n == 1 ]] || file="$work/all-$n.raw"
    expect_equal "$(stat -c %s "$file")" $((84672 * n * 4)) "$(basename "$file")"
done
cmp -s "$work/two.raw" "$work/all-2.raw" || fail "--subsong 2 differs from --all-subsongs' second"
cp "$tunes" "$work/beside.mod"
expect_status 0 render "$work/beside.mod" --all-subsongs --seconds 1
expect_equal "$(ls "$work"/beside*.wav | xargs -n1 basename | tr '\n' ' ')" \
    "beside-2.wav beside-3.wav beside.wav " "files beside the song"

expect_status 1 render "$tunes" --subsong 4 -o "$work/four.raw"
expect_contains "$err" "tolva: $tunes: has no subsong 4 (it holds 3)"
expect_status 1 render "$tunes" --subsong 2 --all-subsongs
expect_contains "$err" "--subsong excludes --all-subsongs"
expect_status 1 render "$tunes" --all-subsongs -o -
expect_contains "$err" "--all-subsongs writes a file for each subsong"

finish
