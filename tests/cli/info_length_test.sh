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

# Instrument names and the song message, read here from the headers: an IT instrument's name is
# 26 bytes at 0x20 of its record, the message is at the offset and length the header gives; an
# XM instrument's name is 22 bytes at 4 of its header, after the patterns.
read -r it_name message <<<"$(python3 - "$corpus/songs/madbomber-data__bizjung.it" <<'PY'
import struct, sys
b = open(sys.argv[1], "rb").read()
orders, = struct.unpack_from("<H", b, 0x20)
first, = struct.unpack_from("<I", b, 0xC0 + orders)
length, at = struct.unpack_from("<HI", b, 0x36)
print(b[first + 0x20:first + 0x3A].split(b"\0")[0].decode().rstrip(),
      b[at:at + length].split(b"\0")[0].split(b"\r")[0].decode().rstrip().replace(" ", "_"))
PY
)"
expect_status 0 info "$corpus/songs/madbomber-data__bizjung.it"
expect_contains "$out" "Instrument names:
    1 $it_name
"
expect_contains "$out" "Message:
  ${message//_/ }"
expect_status 0 info --json "$corpus/songs/madbomber-data__bizjung.it"
expect_contains "$out" "\"instrument_list\":[{\"number\":1,\"name\":\"$it_name\"}"
expect_contains "$out" "\"message\":\"${message//_/ }"
xm="$corpus/songs/pekka-kana-2-data__song12.xm"
xm_name=$(python3 - "$xm" <<'PY'
import struct, sys
b = open(sys.argv[1], "rb").read()
at = 60 + struct.unpack_from("<I", b, 60)[0]
for _ in range(struct.unpack_from("<H", b, 70)[0]):
    at += struct.unpack_from("<I", b, at)[0] + struct.unpack_from("<H", b, at + 7)[0]
print(b[at + 4:at + 26].split(b"\0")[0].decode().rstrip())
PY
)
expect_status 0 info --json "$xm"
expect_contains "$out" "\"instrument_list\":[{\"number\":1,\"name\":\"$xm_name\"}"

finish
