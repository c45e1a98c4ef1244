# tolva play through SDL's file-writing audio driver: the sound card gets render's PCM byte for
# byte, song after song, and refused files or a missing device are reported.
source "$(dirname "$0")/lib.sh"

songs=("$corpus/songs/vodovod__walk.xm" "$corpus/songs/pingus-data__gd-matth.it")

# play_disk ARGS...: plays as fast as the driver writes; the sound lands in $work/card.
play_disk() {
    rm -f "$work/card"
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/card" SDL_DISKAUDIODELAY=0 \
        expect_status "$@"
}

# card_holds EXPECTED SILENCE [then-more]: the card file holds EXPECTED, then only SILENCE
# bytes unless "then-more". Before it may come silence that SDL writes while the device opens.
card_holds() {
    python3 - "$1" "$work/card" "$2" "${3:-}" <<'PY'
import sys
ref, card = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
quiet = bytes([int(sys.argv[3])])
lead = len(card) - len(card.lstrip(quiet)) - (len(ref) - len(ref.lstrip(quiet)))
if lead < 0 or card[lead:lead + len(ref)] != ref:
    sys.exit("sound differs from render's")
if not sys.argv[4] and card[lead + len(ref):].strip(quiet):
    sys.exit("sound after the song's end")
PY
}

# play_as_rendered SILENCE WHAT ARGS...: playing ARGS gives the card what rendering them gives.
play_as_rendered() {
    "$tolva" render "${@:3}" -o "$work/ref.raw" --force 2>/dev/null
    play_disk 0 "${@:3}"
    card_holds "$work/ref.raw" "$1" || fail "$2: the card did not get render's PCM"
}

for song in "$demo" "${songs[@]}"; do
    play_as_rendered 0 "$(basename "$song")" "$song" --seconds 1.5
    # Not a terminal: one line per file, naming it.
    expect_contains "$out" "$song: "
done
# Other sample formats, an interpolation mode and a start position.
play_as_rendered 128 "8-bit from 3 s" "$demo" --seconds 1 --bits 8 --start 3
play_as_rendered 0 "32-bit mono" --seconds 1 --bits 32 --mono "$demo"
play_as_rendered 0 "float, sinc" --seconds 1 --bits float --interpolation sinc "$demo"

# A list plays without gaps; a refused file between songs is reported, skipped and fails the run.
"$tolva" render "${songs[0]}" --seconds 1 -o "$work/a.raw"
"$tolva" render "${songs[1]}" --seconds 1 -o "$work/b.raw"
cat "$work/a.raw" "$work/b.raw" >"$work/ab.raw"
play_disk 0 play --seconds 1 "${songs[@]}"
card_holds "$work/ab.raw" 0 || fail "two songs: the card did not get render's PCM"
play_disk 1 play --seconds 1 "${songs[0]}" "$bad" "$work/missing.it" "${songs[1]}"
card_holds "$work/ab.raw" 0 || fail "two songs around refused files: not render's PCM"
expect_contains "$err" "tolva: $bad: not a module" "tolva: $work/missing.it: no such file"

# Shuffled, the two songs come in one order or the other; repeated, the list starts again until
# a signal stops it, and a list of nothing playable ends at once.
cat "$work/b.raw" "$work/a.raw" >"$work/ba.raw"
play_disk 0 play --shuffle --seconds 1 "${songs[@]}"
card_holds "$work/ab.raw" 0 2>/dev/null || card_holds "$work/ba.raw" 0 ||
    fail "shuffled songs are not the two songs"
cat "$work/ab.raw" "$work/ab.raw" >"$work/abab.raw"
rm -f "$work/card"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/card" SDL_DISKAUDIODELAY=0 \
    "$tolva" play --repeat --seconds 1 "${songs[@]}" >/dev/null 2>&1 &
player=$!
while [[ $(stat -c %s "$work/card" 2>/dev/null || echo 0) -lt $((2 * $(stat -c %s "$work/abab.raw"))) ]]; do
    sleep 0.1
done
kill -TERM $player
wait $player
expect_equal $? 130 "status after a signal"
card_holds "$work/abab.raw" 0 then-more || fail "--repeat did not play the list twice"
play_disk 1 play --repeat "$bad"

# Every subsong, each a track of its own, as render gives them; or one of them.
tunes="$work/tunes.mod"
"$(dirname "$demo")/tests/write_test_mod" "$tunes" tunes --tunes 3 0 || fail "cannot write $tunes"
"$tolva" render "$tunes" --all-subsongs -o "$work/t.raw"
cat "$work/t.raw" "$work/t-2.raw" "$work/t-3.raw" >"$work/tunes.raw"
play_disk 0 play --all-subsongs "$tunes"
card_holds "$work/tunes.raw" 0 || fail "--all-subsongs: the card did not get render's PCM"
expect_contains "$out" "0:01.920, subsong 1/3" "0:03.840, subsong 2/3" "0:05.760, subsong 3/3"
play_disk 0 play --subsong 2 "$tunes"
card_holds "$work/t-2.raw" 0 || fail "--subsong 2: the card did not get render's PCM"

# No sound card: the message says so and points to render.
SDL_AUDIODRIVER=nonexistent expect_status 1 play "$demo"
expect_contains "$err" "no audio device" "tolva render"

finish
