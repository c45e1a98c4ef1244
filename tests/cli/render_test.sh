# tolva render: output kinds, sample widths, and the frames rendered match the measured length.
source "$(dirname "$0")/lib.sh"

# Bytes of raw output. The demo lasts 23040 ms, 1016064 frames at 44100 Hz: it ends on a tick.
while read -r bytes args; do
    # shellcheck disable=SC2086 # the arguments are split at blanks
    expect_status 0 render "$demo" -o "$work/demo.raw" --force $args
    expect_equal "$(stat -c %s "$work/demo.raw")" $((bytes)) "render $args"
done <<EOF
1016064*2 --bits 8
1016064*8 --bits 32
(1016064-882000)*4 --start 20
1016064*4
EOF
"$tolva" render "$demo" -o - | cmp -s - "$work/demo.raw" || fail "render -o - differs from .raw"

# The default name is the module's with .wav; WAV and FLAC files carry their headers.
cp "$demo" "$work/tune.mod"
expect_status 0 render "$work/tune.mod"
expect_equal "$(head -c 4 "$work/tune.wav")" RIFF "WAV header"
expect_equal "$(stat -c %s "$work/tune.wav")" $((44 + 1016064 * 4)) "WAV size"
expect_status 0 render "$demo" -o "$work/tune.flac" --seconds 1
expect_equal "$(head -c 4 "$work/tune.flac")" fLaC "FLAC header"

# Mono: each left sample equals its right one; reversed stereo swaps the normal render's channels.
expect_status 0 render "$demo" -o "$work/mono.raw" --mono --seconds 3
od -An -v -t d2 -w4 "$work/mono.raw" | awk '$1 != $2 { bad = 1 } END { exit bad }' ||
    fail "--mono left and right differ"
expect_status 0 render "$demo" -o "$work/reverse.raw" --reverse-stereo
paste <(od -An -v -t d2 -w4 "$work/demo.raw") <(od -An -v -t d2 -w4 "$work/reverse.raw") |
    awk '$1 != $4 || $2 != $3 { bad = 1 } END { exit bad }' || fail "--reverse-stereo: not swapped"

# Float samples: IEEE floats behind a fact chunk in WAV, and in raw files the 16-bit samples /
# 32768 but for the step 16 bits round down by. Separation 0 is mono. Stems hold each channel
# alone, as --solo does, and add up to the render (channel 1 is silent for the first 5 s, and
# gets none); muting every channel leaves silence.
expect_status 0 render "$demo" -o "$work/float.wav" --bits float --seconds 1
expect_equal "$(od -An -t u2 -j 20 -N 2 "$work/float.wav" | tr -d ' ')" 3 "float WAV format"
expect_equal "$(head -c 42 "$work/float.wav" | tail -c 4)" fact "float WAV fact chunk"
expect_equal "$(stat -c %s "$work/float.wav")" $((58 + 44100 * 8)) "float WAV size"
expect_status 0 render "$demo" -o "$work/float.raw" --bits float --seconds 5
paste <(od -An -v -t f4 -w4 "$work/float.raw") <(od -An -v -t d2 -w2 "$work/demo.raw" | head -n 441000) |
    awk '{ d = $1 * 32768 - $2; if (d < -0.01 || d > 1) bad = 1 } END { exit bad }' ||
    fail "float samples are not the 16-bit ones / 32768"
expect_status 0 render "$demo" -o "$work/narrow.raw" --stereo-separation 0 --seconds 3
od -An -v -t d2 -w4 "$work/narrow.raw" | awk '$1 != $2 { bad = 1 } END { exit bad }' ||
    fail "--stereo-separation 0: left and right differ"
mkdir "$work/stems"
expect_status 0 render "$demo" --stems --bits float --seconds 5 -o "$work/stems/demo.raw"
expect_equal "$(ls "$work/stems" | tr '\n' ' ')" "demo-ch02.raw demo-ch03.raw demo-ch04.raw " stems
expect_status 0 render "$demo" --solo 2 --bits float --seconds 5 -o "$work/solo.raw"
cmp -s "$work/solo.raw" "$work/stems/demo-ch02.raw" || fail "--solo 2 differs from its stem"
for f in "$work/float.raw" "$work/stems/"*; do od -An -v -t f4 -w4 "$f" >"$f.txt"; done
paste "$work/float.raw.txt" "$work/stems/"*.txt |
    awk '{ s = -$1; for (i = 2; i <= NF; i++) s += $i; if (s * s > 1e-12) bad = 1 } END { exit bad }' ||
    fail "stems do not add up to the render"
expect_status 0 render "$demo" --mute 1,2,3,4 -o "$work/muted.raw" --seconds 3
[[ -z $(od -An -v -t d2 "$work/muted.raw" | tr -d ' 0\n*') ]] || fail "every channel muted, yet sound"

# A user's files are never lost: the module is never written over, an existing file only with
# --force, and a render that fails part-way leaves nothing behind.
cp "$demo" "$work/song.wav"
expect_status 1 render "$work/song.wav"
expect_contains "$err" "is the module being rendered"
expect_status 1 render "$work/song.wav" -o "$work/song.wav" --force
expect_equal "$(cmp "$demo" "$work/song.wav" && echo same)" same "module rendered under a .wav name"
expect_status 1 render "$demo" -o "$work/tune.wav" --seconds 1
expect_contains "$err" "file exists (use --force to replace it)"
expect_equal "$(stat -c %s "$work/tune.wav")" $((44 + 1016064 * 4)) "existing file kept"
expect_status 0 render "$demo" -o "$work/tune.wav" --seconds 1 --force
expect_equal "$(stat -c %s "$work/tune.wav")" $((44 + 44100 * 4)) "file replaced with --force"
(trap '' XFSZ; ulimit -f 64; "$tolva" render "$demo" -o "$work/big.wav" 2>/dev/null) &&
    fail "a render past the file size limit succeeded"
expect_equal "$(ls "$work" | grep -c big)" 0 "files left by a failed render"

# Several songs into a folder, side by side: each file as a render of that song alone; a refused
# song is told and the others are written; on a terminal one progress line counts the songs.
songs=("$demo" "$corpus/songs/madbomber-data__bizjung.it" "$corpus/songs/njam-data__satisfy.xm")
mkdir "$work/out"
expect_status 0 render "${songs[@]}" --seconds 2 --seed 1 -o "$work/out"
for song in "${songs[@]}"; do
    "$tolva" render "$song" --seconds 2 --seed 1 -o "$work/one.wav" --force
    name=$(basename "${song%.*}").wav
    cmp -s "$work/one.wav" "$work/out/$name" || fail "$name differs from its render alone"
done
expect_status 2 render "$demo" "$bad" --seconds 1 -o "$work/out" --force
expect_contains "$err" "tolva: $bad: not a module"
expect_equal "$(stat -c %s "$work/out/demo.wav")" $((44 + 44100 * 4)) "the song beside the refused one"
screen=$(TERM=xterm script -qec "$tolva render ${songs[*]} --seconds 1 --force -o $work/out" /dev/null)
[[ $screen == *"] 100%  3/3 songs"* ]] || fail "no progress line counting songs: $screen"

finish
