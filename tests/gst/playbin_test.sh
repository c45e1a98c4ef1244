# The plug-in as GStreamer's players use it: found by gst-inspect, chosen by playbin over the
# module decoders GStreamer ships, the same PCM as `tolva render --seed 0`, the duration of
# `tolva length` and the title in gst-discoverer, subsongs as a TOC, and a typefinder that finds
# the 15-sample MOD and takes no other kind of file from the typefinders that know it.
source "$(dirname "$0")/lib.sh"

# play URI SINK...: playbin into the given audio sink, bounded in time; its output in $out.
play() {
    local uri=$1
    shift
    out=$(timeout 60 gst-launch-1.0 -q playbin uri="$uri" audio-sink="$*" 2>&1)
}

inspect=$(gst-inspect-1.0 tolvadec 2>&1) || fail "gst-inspect-1.0 tolvadec: $inspect"
for want in "Codec/Decoder/Audio" "audio/x-mod" "current-subsong" "stereo-separation" "gain" \
    "interpolation" "num-loops"; do
    [[ $inspect == *"$want"* ]] || fail "gst-inspect-1.0 tolvadec does not show $want"
done

for song in "${songs[@]}"; do
    name=$(basename "$song")
    "$tolva" render "$corpus/$song" -o "$work/$name.raw" --bits 16 --seed 0 >/dev/null ||
        fail "tolva render $song"
    play "file://$corpus/$song" "audioconvert ! wavenc ! filesink location=$work/$name.wav" ||
        fail "$name: playbin failed: $out"
    cmp -s <(wav_data "$work/$name.wav") "$work/$name.raw" || fail "$name: PCM differs"

    length=$("$tolva" length --json "$corpus/$song" | jq -r .length_ms)
    title=$("$tolva" info --json "$corpus/$song" | jq -r .title)
    found=$(gst-discoverer-1.0 -v "$corpus/$song" 2>&1)
    # H:MM:SS.NNNNNNNNN, to the millisecond.
    duration=$(sed -n 's/^ *Duration: \([0-9]*\):\([0-9]*\):\([0-9]*\)\.\([0-9]\{3\}\).*/\1 \2 \3 \4/p' <<<"$found")
    read -r h m s ms <<<"$duration"
    [[ -n $duration && $((((10#$h * 60 + 10#$m) * 60 + 10#$s) * 1000 + 10#$ms)) == "$length" ]] ||
        fail "$name: gst-discoverer duration '$duration', tolva length $length ms"
    [[ -z $title || $found == *"title: $title"* ]] || fail "$name: no title '$title' in: $found"
done

# Rendered at the rate downstream asks for, not resampled by playbin's converters.
song=$corpus/songs/vodovod__walk.xm
"$tolva" render "$song" -o "$work/22050.raw" --rate 22050 --bits 16 --seed 0 >/dev/null
play "file://$song" "capsfilter caps=audio/x-raw,rate=22050 ! wavenc ! filesink location=$work/22050.wav" ||
    fail "playbin at 22050 Hz failed: $out"
cmp -s <(wav_data "$work/22050.wav") "$work/22050.raw" || fail "PCM at 22050 Hz differs"

# Subsongs: a TOC entry each with the length tolva gives it, and any one of them played by the
# current-subsong property with the PCM of `tolva render --subsong N`.
song=$corpus/songs/tecnoballz-data__gardien-go.mod
want=$("$tolva" info --json "$song" | jq -r '.subsongs[].length_ms')
toc=$(gst-discoverer-1.0 --toc "$song" 2>&1 | sed -n 's/^ *duration: \([0-9]*\)000000$/\1/p')
[[ $toc == "$want" ]] || fail "TOC durations '$toc', tolva subsongs '$want'"
"$tolva" render "$song" --subsong 2 -o "$work/sub2.raw" --bits 16 --seed 0 >/dev/null
timeout 60 gst-launch-1.0 -q filesrc location="$song" ! tolvadec current-subsong=1 ! \
    audioconvert ! wavenc ! filesink location="$work/sub2.wav" || fail "subsong 2 did not play"
cmp -s <(wav_data "$work/sub2.wav") "$work/sub2.raw" || fail "subsong 2: PCM differs"

# typefind FILE: the caps the typefinders give a file.
typefind() { gst-typefind-1.0 "$1" 2>&1 | sed 's/^.* - //'; }
[[ $(typefind "$corpus/features/mod/m_cant.mod") == "audio/x-mod, type=(string)mod" ]] ||
    fail "the 15-sample MOD is not found: $(typefind "$corpus/features/mod/m_cant.mod")"
with=$(for f in "$corpus"/not-modules/*; do typefind "$f"; done)
without=$(GST_REGISTRY=$work/without.bin GST_PLUGIN_PATH= bash -c \
    'for f in "$@"; do gst-typefind-1.0 "$f" 2>&1 | sed "s/^.* - //"; done' - "$corpus"/not-modules/*)
[[ $with == "$without" ]] || fail "typefinding of other files changed: $(diff <(echo "$without") <(echo "$with"))"

finish
