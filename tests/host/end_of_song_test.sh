# The end of the song: one end notice, posted only when the output has played everything;
# and a DSP that doubles the frames gets its room and its frames.
source "$SUPPORT/plugin_harness.sh"

songs="$WORK/songs"
mkdir -p "$songs"
write_mod "$songs/y.mod" abc 24
song=$(winpath "$songs/y.mod")

winhost play "$PLUGIN" "$song" "$(winpath "$WORK/plain.wav")" --speed 0 >"$WORK/plain.txt"
winhost play "$PLUGIN" "$song" "$(winpath "$WORK/drained.wav")" --speed 8 >"$WORK/drained.txt"
for run in plain drained; do
    expect_eq "$run: end notices" "$(key eof_count "$WORK/$run.txt")" 1
    expect_eq "$run: bytes still in the output at the notice" "$(key buffered_at_eof "$WORK/$run.txt")" 0
    expect_eq "$run: stopped before the end" "$(key stopped_early "$WORK/$run.txt")" 0
    expect_eq "$run: writes after closing" "$(key writes_while_closed "$WORK/$run.txt")" 0
done
pcm_of "$WORK/plain.wav" "$WORK/plain.pcm"
pcm_of "$WORK/drained.wav" "$WORK/drained.pcm"
same_bytes "paced output against instant output" "$WORK/drained.pcm" "$WORK/plain.pcm"

# Every frame doubled by the DSP reaches the output, in order.
winhost play "$PLUGIN" "$song" "$(winpath "$WORK/dsp.wav")" --speed 0 --dsp >"$WORK/dsp.txt"
pcm_of "$WORK/dsp.wav" "$WORK/dsp.pcm"
expect_eq "DSP: calls" "$(key dsp_calls "$WORK/dsp.txt")" "$(key sa_calls "$WORK/dsp.txt")"
expect_eq "DSP: bad calls" "$(key bad_dsp_calls "$WORK/dsp.txt")" 0
frames() { od -An -v -tx4 -w4 "$1"; }
same_bytes "DSP: doubled frames" <(frames "$WORK/dsp.pcm") \
    <(frames "$WORK/plain.pcm" | awk '{ print; print }')

# With DSP the plug-in waits for room for twice a block: 4608 bytes at 16 bits.
winhost play "$PLUGIN" "$song" "$(winpath "$WORK/dsproom.wav")" --speed 1 --dsp --stop-at 1500 \
    >"$WORK/dsproom.txt"
expect_ge "DSP: room before each write" "$(key min_room_before_write "$WORK/dsproom.txt")" 4608
expect_eq "DSP: writes that did not fit" "$(key overflows "$WORK/dsproom.txt")" 0

finish
