# tolva info and tolva length: the facts of a module, text and JSON, over several files.
source "$(dirname "$0")/lib.sh"

expect_status 0 info "$demo"
expect_contains "$out" "Format:      Amiga Protracker"
expect_contains "$out" "Title:       tolva demo"
expect_contains "$out" "Channels:    4"
expect_contains "$out" "Orders:      3"
expect_contains "$out" "Tempo:       125 BPM"
expect_contains "$out" "Length:      0:23.040"
expect_contains "$out" "square lead"
expect_contains "$out" "triangle pad"

expect_status 0 info --json "$demo"
expect_contains "$out" '"format":"Amiga Protracker"'
expect_contains "$out" '"channels":4'
expect_contains "$out" '"length_ms":23040'
expect_contains "$out" '"name":"saw bass"'

expect_status 0 length "$demo"
expect_contains "$out" "0:23.040"
expect_contains "$out" "23040 ms"

# One line per file; a refused file gets an error object and makes the run fail.
printf 'not a module at all' >"$work/text.mod"
expect_status 1 length --json "$demo" "$work/text.mod" "$demo"
expect_equal "$(grep -c '"length_ms":23040,"start_offset_ms":0,"looped":false' <<<"$out")" 2 \
    "good lines"
expect_contains "$out" "{\"file\":\"$work/text.mod\",\"error\":\"not a module in a supported format\"}"
expect_contains "$err" "tolva: $work/text.mod: not a module in a supported format"

# Loop settings change the measured length: the demo does not loop, so nothing changes.
expect_status 0 length --json --loops 3 "$demo"
expect_equal "$(json_number "$out" length_ms)" 23040 "length with --loops 3"
expect_status 0 length --json --extra-seconds 10 --length-mode detect "$demo"
expect_equal "$(json_number "$out" length_ms)" 23040 "length with extra seconds"

# An Impulse Tracker song: counts and names as its header gives them, read here with od.
it="$corpus/songs/pingus-data__gd-matth.it"
read -r orders instruments samples patterns < <(od -A n -t u2 -j 32 -N 8 "$it")
expect_status 0 info --json "$it"
expect_contains "$out" '"format":"Impulse Tracker 2.15"'
expect_contains "$out" "\"title\":\"$(head -c 30 "$it" | tail -c 26 | tr -d '\0' | sed 's/ *$//')\""
expect_equal "$(json_number "$out" orders)" "$orders" "IT orders"
expect_equal "$(json_number "$out" instruments)" "$instruments" "IT instruments"
expect_equal "$(json_number "$out" samples)" "$samples" "IT samples"
expect_equal "$(json_number "$out" patterns)" "$patterns" "IT patterns"
expect_contains "$out" '"name":"orange juice theme'

finish
