# Seek, pause, stop and the skipped leading silence, checked against an uninterrupted
# playback of the same song and against times worked out by hand.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

songs="$WORK/songs"
home="$WORK/home"
mkdir -p "$songs" "$home/settings/Plugins"
write_mod "$songs/y.mod" abc 24 40 # notes at 2.9 s and 4.82 s; the song ends at 7.7 s
song=$(winpath "$songs/y.mod")
write_settings "$home/settings/Plugins/in_tolva.dat"
run() { # name options...
    local name=$1
    shift
    winhost play "$PLUGIN" "$song" "$(winpath "$WORK/$name.wav")" --home "$(winpath "$home")" \
        "$@" >"$WORK/$name.txt"
    pcm_of "$WORK/$name.wav" "$WORK/$name.pcm"
}
run whole --speed 0
total=$(stat -c %s "$WORK/whole.pcm")
expect_eq "uninterrupted playback" "$total" $((339570 * 4))

# Seeking forwards from 0.5 s to 3 s: the time shows the target at once, the output is flushed
# at it and the PCM from there on is the song's from frame 132300 on.
run forward --speed 4 --seek-at 500:3000
expect_eq "forward seek: time while pending" "$(key time_after_seek_request "$WORK/forward.txt")" 3000
flush=$(key flush "$WORK/forward.txt")
expect_eq "forward seek: flush time" "${flush%@*}" 3000
at=${flush#*@}
same_bytes "forward seek: PCM before the seek" "$WORK/forward.pcm" "$WORK/whole.pcm" 0 0 "$at"
same_bytes "forward seek: PCM after the seek" "$WORK/forward.pcm" "$WORK/whole.pcm" "$at" $((132300 * 4))
expect_eq "forward seek: PCM after the seek ends with the song" \
    $(($(stat -c %s "$WORK/forward.pcm") - at)) $((total - 132300 * 4))
expect_eq "forward seek: end notices" "$(key eof_count "$WORK/forward.txt")" 1

# Seeking back from 5 s to 1 s restarts the song and plays on from 1 s.
run backward --speed 4 --seek-at 5000:1000
flush=$(key flush "$WORK/backward.txt")
expect_eq "backward seek: flush time" "${flush%@*}" 1000
at=${flush#*@}
same_bytes "backward seek: PCM before the seek" "$WORK/backward.pcm" "$WORK/whole.pcm" 0 0 "$at"
same_bytes "backward seek: PCM after the seek" "$WORK/backward.pcm" "$WORK/whole.pcm" "$at" $((44100 * 4))

# Pausing for 600 ms at 1 s: time stands still, the plug-in stops writing once the output is
# full, and after resuming the song plays on unchanged to its end.
run paused --speed 2 --pause-at 1000 --pause-for 600
expect_eq "pause: paused flag" "$(key paused_flag "$WORK/paused.txt")" 1
expect_eq "pause: flag after resuming" "$(key unpaused_flag "$WORK/paused.txt")" 0
expect_eq "pause: output paused and resumed" \
    "$(key output_pause_calls "$WORK/paused.txt"),$(key output_last_pause "$WORK/paused.txt")" "2,0"
drift=$(key pause_time_drift "$WORK/paused.txt")
expect_le "pause: time moved by" "${drift#-}" 3
expect_eq "pause: bytes written late in the pause" "$(key pause_late_bytes "$WORK/paused.txt")" 0
same_bytes "pause: PCM" "$WORK/paused.pcm" "$WORK/whole.pcm"

# Stopping at 1.5 s ends the thread at once; nothing is written after the output closed.
run stopped --speed 1 --stop-at 1500 --uninstall-at 500
expect_le "stop: milliseconds in Stop" "$(key stop_ms "$WORK/stopped.txt")" 1000
expect_eq "stop: writes after closing" "$(key writes_while_closed "$WORK/stopped.txt")" 0
expect_eq "stop: output closed" "$(key close_calls "$WORK/stopped.txt")" 1
expect_eq "stop: visualisation closed" "$(key savsa_deinit_calls "$WORK/stopped.txt")" 1
expect_eq "stop: end notices" "$(key eof_count "$WORK/stopped.txt")" 0
expect_eq "uninstall while playing" "$(key uninstall_while_playing "$WORK/stopped.txt")" 0
same_bytes "stop: PCM up to the stop" "$WORK/stopped.pcm" "$WORK/whole.pcm" 0 0 \
    "$(stat -c %s "$WORK/stopped.pcm")"

# With silence removal the first audible second starts at 2 s (the note sounds at 2.9 s and
# is seen at the check at 3 s); playback starts there and reports time 0, the song lasts 5.7 s.
write_settings "$home/settings/Plugins/in_tolva.dat" removeSilence=1
run trimmed --speed 4
expect_eq "silence removed: length" "$(key length "$WORK/trimmed.txt")" 5700
expect_eq "silence removed: time at the start" "$(key time_after_play "$WORK/trimmed.txt")" 0
expect_eq "silence removed: first flush" "$(key flush "$WORK/trimmed.txt")" "0@0"
expect_eq "silence removed: first block stamp" "$(key first_pcm_time "$WORK/trimmed.txt")" 0
same_bytes "silence removed: PCM" "$WORK/trimmed.pcm" "$WORK/whole.pcm" 0 $((88200 * 4))
expect_eq "silence removed: PCM bytes" "$(stat -c %s "$WORK/trimmed.pcm")" $(((339570 - 88200) * 4))

finish
