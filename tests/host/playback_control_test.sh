# The PCM the plug-in hands to the output at 8, 16 and 32 bits, the song's end, a DSP, seek, pause,
# stop and the skipped leading silence, against an uninterrupted playback and hand-worked values.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

home="$WORK/home"
mkdir -p "$home/settings/Plugins"
# Silent up to row 24, then a looped square wave; one pattern of 64 rows at speed 6 and 125 BPM
# is 384 ticks of 882 frames, the first at frame 0: the note starts at tick 144.
write_mod "$WORK/y.mod" abc 24 40
frames=338688
silent=127008
blocks=$(((frames + 575) / 576))
run() { # name options...
    local name=$1
    shift
    winhost play "$PLUGIN" "$(winpath "$WORK/y.mod")" "$(winpath "$WORK/$name.wav")" \
        --home "$(winpath "$home")" "$@" >"$WORK/$name.txt"
    pcm_of "$WORK/$name.wav" "$WORK/$name.pcm"
}

for bits in 8 16 32; do
    write_settings "$home/settings/Plugins/in_tolva.dat" outputBits=$bits
    run y$bits --speed 0
    bytes=$((bits / 8 * 2))
    # Each block is stamped with the time of its first frame: 13 ms per block, truncated.
    expect_keys "$WORK/y$bits.txt" open_args=44100,2,$bits,-1,-1 \
        setinfo_args=$((bits * 88200 / 1000)),44,2,1 sa_calls=$blocks vsa_calls=$blocks \
        bad_pcm_calls=0 pcm_bits=$bits last_pcm_time=$(((blocks - 1) * 13)) \
        savsa_init_args=500,44100 vsa_setinfo_args=44100,2 last_volume=-666 overflows=0 \
        unexpected_service_calls=0 eof_count=1 buffered_at_eof=0 stopped_early=0 \
        writes_while_closed=0
    expect_eq "$bits bits: PCM bytes" "$(stat -c %s "$WORK/y$bits.pcm")" $((frames * bytes))
    [[ $bits == 8 ]] && quiet='\200' || quiet='\0'
    head -c $((silent * bytes + 4096)) /dev/zero | tr '\0' "$quiet" >"$WORK/silence"
    same_bytes "$bits bits: silence before the note" "$WORK/y$bits.pcm" "$WORK/silence" 0 0 \
        $((silent * bytes))
    cmp -s -n 4096 -i $((silent * bytes)):0 "$WORK/y$bits.pcm" "$WORK/silence" &&
        fail "$bits bits: the note is silent"
done
cp "$WORK/y16.pcm" "$WORK/whole.pcm"
write_settings "$home/settings/Plugins/in_tolva.dat"

# Output paced by the sound card: one end notice, only once everything has played.
run drained --speed 8
expect_keys "$WORK/drained.txt" eof_count=1 buffered_at_eof=0 stopped_early=0 writes_while_closed=0
same_bytes "paced output against instant output" "$WORK/drained.pcm" "$WORK/whole.pcm"

# Every frame doubled by a DSP reaches the output, in order; with DSP the plug-in waits for
# room for twice a block: 4608 bytes at 16 bits.
run dsp --speed 0 --dsp
expect_eq "DSP: calls" "$(key dsp_calls "$WORK/dsp.txt")" "$(key sa_calls "$WORK/dsp.txt")"
expect_keys "$WORK/dsp.txt" bad_dsp_calls=0
same_bytes "DSP: doubled frames" <(od -An -v -tx4 -w4 "$WORK/dsp.pcm") \
    <(od -An -v -tx4 -w4 "$WORK/whole.pcm" | awk '{ print; print }')
run dsproom --speed 1 --dsp --stop-at 1500
expect_range "DSP: room before each write" "$(key min_room_before_write "$WORK/dsproom.txt")" 4608 999999
expect_keys "$WORK/dsproom.txt" overflows=0

# Seeking from 0.5 s to 3 s and from 5 s back to 1 s: the output is flushed at the target, then
# the PCM is the song's from there to its end (cmp fails at the end of either file). Forwards,
# the time shows the target at once.
seek() { # name from:to
    local flush at to=${2#*:}
    run "$1" --speed 4 --seek-at "$2"
    flush=$(key flush "$WORK/$1.txt")
    expect_eq "$1 seek: flush time" "${flush%@*}" "$to"
    at=${flush#*@}
    same_bytes "$1 seek: PCM before the seek" "$WORK/$1.pcm" "$WORK/whole.pcm" 0 0 "$at"
    same_bytes "$1 seek: PCM after the seek" "$WORK/$1.pcm" "$WORK/whole.pcm" "$at" \
        $((to * 441 / 10 * 4))
}
seek forward 500:3000
expect_keys "$WORK/forward.txt" time_after_seek_request=3000 eof_count=1
seek backward 5000:1000

# Pausing for 600 ms at 1 s: time stands still, the plug-in stops writing once the output is
# full, and after resuming the song plays on unchanged to its end.
run paused --speed 2 --pause-at 1000 --pause-for 600
expect_keys "$WORK/paused.txt" paused_flag=1 unpaused_flag=0 output_pause_calls=2 \
    output_last_pause=0 pause_late_bytes=0
expect_range "pause: time moved by" "$(key pause_time_drift "$WORK/paused.txt")" -3 3
same_bytes "pause: PCM" "$WORK/paused.pcm" "$WORK/whole.pcm"

# Stopping at 1.5 s ends the thread at once; nothing is written after the output closed.
run stopped --speed 1 --stop-at 1500 --uninstall-at 500
expect_range "stop: milliseconds in Stop" "$(key stop_ms "$WORK/stopped.txt")" 0 1000
expect_keys "$WORK/stopped.txt" writes_while_closed=0 close_calls=1 savsa_deinit_calls=1 \
    eof_count=0 uninstall_while_playing=0
same_bytes "stop: PCM up to the stop" "$WORK/stopped.pcm" "$WORK/whole.pcm" 0 0 \
    "$(stat -c %s "$WORK/stopped.pcm")"

# With silence removal the first audible second starts at 2 s (the note sounds at 2.88 s and
# is seen at the check at 3 s); playback starts there and reports time 0.
write_settings "$home/settings/Plugins/in_tolva.dat" removeSilence=1
run trimmed --speed 4
expect_keys "$WORK/trimmed.txt" length=5680 time_after_play=0 flush=0@0 first_pcm_time=0
same_bytes "silence removed: PCM" "$WORK/trimmed.pcm" "$WORK/whole.pcm" 0 $((88200 * 4))
expect_eq "silence removed: PCM bytes" "$(stat -c %s "$WORK/trimmed.pcm")" $(((frames - 88200) * 4))

# Host threads calling the entry points at random on songs, damaged copies and a file of no
# format (TORTURE_SECONDS for longer runs by hand): no crash or hang, one end-of-song notice for
# a song left to end, even after a seek past its last block, and memory and handles as before.
songs=()
for f in features/mtm/d_pattern_jump_mtm_break.mtm features/mod/m_crystals.mod \
    features/s3m/t_NOP.s3m features/669/f_play_669_low_freq.669 songs/vodovod__walk.xm \
    songs/pingus-data__gd-matth.it songs/gl-117-data__loser.s3m songs/tecnoballz-data__high-score.mod; do
    songs+=("$(winpath "$CORPUS/$f")")
done
head -c 3000 "$CORPUS/songs/vodovod__walk.xm" >"$WORK/cut.xm"
head -c 5000 "$CORPUS/songs/pingus-data__gd-matth.it" >"$WORK/cut.it"
winhost torture "$PLUGIN" "${songs[@]}" "$(winpath "$WORK/cut.xm")" "$(winpath "$WORK/cut.it")" \
    "$(winpath "$CORPUS/not-modules/armagetronad__cycle_body.mod")" --home "$(winpath "$home")" \
    --speed 0 --threads 4 --seconds "${TORTURE_SECONDS:-3}" >"$WORK/torture.txt"
expect_keys "$WORK/torture.txt" torture_hung=0 lone_song_eof=1 heap_growth=0 handle_growth=0
expect_range "torture: songs started" "$(key torture_plays "$WORK/torture.txt")" 20 1000000
expect_range "torture: end notices" "$(key torture_eof "$WORK/torture.txt")" 1 \
    "$(key torture_plays "$WORK/torture.txt")"

# 200 songs back to back at full speed, each with a seek: every one ends and tells so once.
winhost session "$PLUGIN" "${songs[@]}" --home "$(winpath "$home")" --speed 0 --songs 200 \
    >"$WORK/session.txt"
expect_keys "$WORK/session.txt" session_played=200 session_unended=0 session_eof=200 \
    session_heap_growth=0 session_handle_growth=0
finish
