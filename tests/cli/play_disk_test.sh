# tolva play through SDL's file-writing audio driver: the sound card gets render's PCM byte for
# byte, song after song, and refused files or a missing device are reported.
source "$(dirname "$0")/lib.sh"

songs=("$demo" "$corpus/songs/gl-117-data__loser.s3m" "$corpus/songs/vodovod__walk.xm"
    "$corpus/songs/pingus-data__gd-matth.it" "$corpus/features/mtm/d_TEMPO.MTM"
    "$corpus/features/669/f_play_669_low_freq.669")

# play_disk ARGS...: plays as fast as the driver writes; the sound lands in $work/card.
play_disk() {
    rm -f "$work/card"
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/card" SDL_DISKAUDIODELAY=0 \
        expect_status "$@"
}

# starts_with EXPECTED SILENCE WHAT: the card file holds EXPECTED, then only SILENCE bytes.
# Before it may come silence that SDL writes while the device opens.
starts_with() {
    checks=$((checks + 1))
    python3 - "$1" "$work/card" "$2" <<'PY' || fail "$3: the card did not get render's PCM"
import sys
ref, card, silence = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3]
quiet = bytes([int(silence)])
lead = len(card) - len(card.lstrip(quiet)) - (len(ref) - len(ref.lstrip(quiet)))
if lead < 0 or card[lead:lead + len(ref)] != ref:
    sys.exit("sound differs from render's")
if card[lead + len(ref):].strip(quiet):
    sys.exit("sound after the song's end")
PY
}

for song in "${songs[@]}"; do
    "$tolva" render "$song" --seconds 1.5 -o "$work/ref.raw" 2>/dev/null
    play_disk 0 play --seconds 1.5 "$song"
    starts_with "$work/ref.raw" 0 "$(basename "$song")"
    # Not a terminal: one line per file, naming it.
    expect_contains "$out" "$song: "
done

# Other sample formats and a start position, without the word play.
"$tolva" render "$demo" --seconds 1 --bits 8 --start 3 -o "$work/ref.raw"
play_disk 0 "$demo" --seconds 1 --bits 8 --start 3
starts_with "$work/ref.raw" 128 "8-bit from 3 s"
"$tolva" render "$demo" --seconds 1 --bits 32 --mono -o "$work/ref.raw"
play_disk 0 --seconds 1 --bits 32 --mono "$demo"
starts_with "$work/ref.raw" 0 "32-bit mono"

# A list: the songs follow each other without a gap; a refused file between them is reported
# and skipped, and the exit status tells.
"$tolva" render "${songs[2]}" --seconds 1 -o "$work/a.raw"
"$tolva" render "${songs[3]}" --seconds 1 -o "$work/b.raw"
cat "$work/a.raw" "$work/b.raw" >"$work/ab.raw"
play_disk 0 play --seconds 1 "${songs[2]}" "${songs[3]}"
starts_with "$work/ab.raw" 0 "two songs"
bad=$(ls "$corpus"/not-modules/* | head -n 1)
play_disk 1 play --seconds 1 "${songs[2]}" "$bad" "$work/missing.it" "${songs[3]}"
starts_with "$work/ab.raw" 0 "two songs around refused files"
expect_contains "$err" "tolva: $bad: not a module"
expect_contains "$err" "tolva: $work/missing.it: cannot open file"
play_disk 1 play "$bad"
expect_contains "$err" "tolva: $bad: "

# No sound card: the message says so and points to render.
SDL_AUDIODRIVER=nonexistent expect_status 1 play "$demo"
expect_contains "$err" "no audio device"
expect_contains "$err" "tolva render"

finish
