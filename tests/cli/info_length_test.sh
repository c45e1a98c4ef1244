# tolva info and tolva length: the facts of a module, text and JSON, over several files.
source "$(dirname "$0")/lib.sh"

expect_status 0 info "$demo"
expect_contains "$out" "Format:      Amiga Protracker" "Title:       tolva demo" "Channels:    4" \
    "Orders:      3" "Tempo:       125 BPM" "Length:      0:23.040" "square lead" "triangle pad"
expect_status 0 info --json "$demo"
expect_contains "$out" '"format":"Amiga Protracker"' '"channels":4' '"length_ms":23040' \
    '"name":"saw bass"'
expect_status 0 length "$demo"
expect_contains "$out" "0:23.040" "23040 ms"

# One line per file; a refused file gets an error object and makes the run fail.
printf 'not a module at all' >"$work/text.mod"
expect_status 1 length --json "$demo" "$work/text.mod" "$demo"
expect_equal "$(grep -c '"length_ms":23040,"start_offset_ms":0,"looped":false' <<<"$out")" 2 \
    "good lines"
expect_contains "$out$err" "{\"file\":\"$work/text.mod\",\"error\":\"not a module in a supported format\"}" \
    "tolva: $work/text.mod: not a module in a supported format"

expect_status 0 info --json "$corpus/songs/pingus-data__gd-matth.it"
expect_contains "$out" '"format":"Impulse Tracker 2.15"' '"name":"orange juice theme'
# Sample lengths in bytes: the first sample here has 22525 frames of 16 bits.
expect_status 0 info --json "$corpus/songs/ceferino-data__menu.xm"
expect_contains "$out" '"name":"Marimba","length_bytes":45050'

# Instrument names and the song message as the header holds them: the first instrument's name
# is 26 bytes at 0x20 of its record, the message is at the offset the header gives.
it="$corpus/songs/madbomber-data__bizjung.it"
message="Try visiting  http://www.xs4all.nl/~cryppy  for more Project-X stuff!"
expect_status 0 info "$it"
expect_contains "$out" $'Instrument names:\n    1 lalalalalalalalalalalalal\n' \
    $'Message:\n  '"$message"
expect_status 0 info --json "$it"
expect_contains "$out" '"instrument_list":[{"number":1,"name":"lalalalalalalalalalalalal"}' \
    "\"message\":\"$message"

finish
