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
" "Message:
  ${message//_/ }"
expect_status 0 info --json "$corpus/songs/madbomber-data__bizjung.it"
expect_contains "$out" "\"instrument_list\":[{\"number\":1,\"name\":\"$it_name\"}" \
    "\"message\":\"${message//_/ }"
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
