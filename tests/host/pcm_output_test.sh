# The PCM the plug-in hands to the output plug-in at 8, 16 and 32 bits: its format, its
# length, its silence, the visualisation calls that go with it, and byte-for-byte agreement
# with the native tool.
source "$SUPPORT/plugin_harness.sh"
source "$SUPPORT/settings_builder.sh"

songs="$WORK/songs"
home="$WORK/home"
mkdir -p "$songs" "$home/settings/Plugins"
# Silent up to row 24, then a looped square wave to the end of the pattern.
write_mod "$songs/y.mod" abc 24
frames=339570 # 385 ticks of 882 frames, the last one ending the song
silent=127890 # the note starts with tick 1 + 24 x 6 = 145
blocks=$(((frames + 575) / 576))

for bits in 8 16 32; do
    write_settings "$home/settings/Plugins/in_tolva.dat" outputBits=$bits
    report="$WORK/y$bits.txt"
    winhost play "$PLUGIN" "$(winpath "$songs/y.mod")" "$(winpath "$WORK/y$bits.wav")" \
        --speed 0 --home "$(winpath "$home")" >"$report"
    pcm_of "$WORK/y$bits.wav" "$WORK/y$bits.pcm"
    bytes=$((bits / 8 * 2))
    expect_eq "$bits bits: output format" "$(key open_args "$report")" "44100,2,$bits,-1,-1"
    expect_eq "$bits bits: stream info" "$(key setinfo_args "$report")" "$((bits * 88200 / 1000)),44,2,1"
    expect_eq "$bits bits: PCM bytes" "$(stat -c %s "$WORK/y$bits.pcm")" $((frames * bytes))
    expect_eq "$bits bits: blocks to the spectrum" "$(key sa_calls "$report")" $blocks
    expect_eq "$bits bits: blocks to the oscilloscope" "$(key vsa_calls "$report")" $blocks
    expect_eq "$bits bits: PCM calls of another shape" "$(key bad_pcm_calls "$report")" 0
    expect_eq "$bits bits: width told to the visualisation" "$(key pcm_bits "$report")" $bits
    # Each block is stamped with the time of its first frame: 13 ms per block, truncated.
    expect_eq "$bits bits: stamp of the last block" "$(key last_pcm_time "$report")" $(((blocks - 1) * 13))
    expect_eq "$bits bits: visualisation set up" "$(key savsa_init_args "$report")" "500,44100"
    expect_eq "$bits bits: oscilloscope set up" "$(key vsa_setinfo_args "$report")" "44100,2"
    expect_eq "$bits bits: volume kept" "$(key last_volume "$report")" -666
    expect_eq "$bits bits: writes that did not fit" "$(key overflows "$report")" 0
    expect_eq "$bits bits: unused services called" "$(key unexpected_service_calls "$report")" 0
    silence_byte='\0'
    [[ $bits == 8 ]] && silence_byte='\200'
    same_bytes "$bits bits: silence before the note" "$WORK/y$bits.pcm" \
        <(head -c $((silent * bytes)) /dev/zero | tr '\0' "$silence_byte") 0 0 $((silent * bytes))
    if cmp -s <(tail -c +$((silent * bytes + 1)) "$WORK/y$bits.pcm" | head -c 4096) \
        <(head -c 4096 /dev/zero | tr '\0' "$silence_byte"); then
        fail "$bits bits: the note is silent"
    fi
done

# An 8-bit sample is the high byte of the 16-bit one, made unsigned.
high_bytes() { od -An -v -tu1 -w2 "$1" | awk '{ printf "%d\n", ($2 + 128) % 256 }'; }
same_bytes "8-bit output against 16-bit output" <(high_bytes "$WORK/y16.pcm") \
    <(od -An -v -tu1 -w1 "$WORK/y8.pcm" | awk '{ printf "%d\n", $1 }')

finish
