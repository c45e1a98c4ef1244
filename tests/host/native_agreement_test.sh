# The plug-in and the native tool are one player: the same PCM at 8, 16 and 32 bits for a song
# of every format, played by settings the tool writes, and the same lengths for every corpus song.
source "$SUPPORT/plugin_harness.sh"
tool="$NATIVE_DIR/cli/tolva"
[[ -x "$tool" ]] || { echo "SKIP: no native tool at $tool" >&2; exit 77; }

songs="$WORK/songs"
home="$WORK/home"
settings="$home/settings/Plugins/in_tolva.dat"
mkdir -p "$songs" "$home/settings/Plugins"
write_mod "$songs/y.mod" abc 24 40

# One song of each format; a format the tool refuses must be refused by the plug-in too.
compared=("$songs/y.mod" "$NATIVE_DIR/demo.mod"
    "$CORPUS/songs/tecnoballz-data__high-score.mod" "$CORPUS/songs/gl-117-data__loser.s3m"
    "$CORPUS/songs/ballz-data__finalman-quickie.xm" "$CORPUS/songs/pingus-data__goin_march.it"
    "$CORPUS/features/mtm/d_TEMPO.MTM" "$CORPUS/features/669/f_play_669_low_freq.669")
for bits in 8 16 32; do
    "$tool" settings --write "$settings" --bits $bits
    for song in "${compared[@]}"; do
        name="$(basename "$song").$bits"
        winhost play "$PLUGIN" "$(winpath "$song")" "$(winpath "$WORK/$name.wav")" --speed 0 \
            --home "$(winpath "$home")" >"$WORK/$name.txt"
        if "$tool" render "$song" --settings "$settings" -o "$WORK/$name.raw" 2>/dev/null; then
            pcm_of "$WORK/$name.wav" "$WORK/$name.pcm"
            same_bytes "$name: PCM against the native tool" "$WORK/$name.pcm" "$WORK/$name.raw"
        else
            expect_keys "$WORK/$name.txt" play_result=1
        fi
        rm -f "$WORK/$name.wav" "$WORK/$name.pcm" "$WORK/$name.raw"
    done
done

# Lengths of every corpus song by default, and of the songs above with silence removal and loops.
lengths() { # settings-options files...
    local options=$1 f native
    shift
    # shellcheck disable=SC2086
    "$tool" settings --write "$settings" $options
    local winfiles=()
    for f in "$@"; do winfiles+=("$(winpath "$f")"); done
    winhost info "$PLUGIN" "${winfiles[@]}" --home "$(winpath "$home")" >"$WORK/lengths.txt"
    for f in "$@"; do
        native=$("$tool" length --json --settings "$settings" "$f" 2>/dev/null |
            grep -o '"length_ms": *[0-9]*' | grep -o '[0-9]*$')
        expect_eq "length of $(basename "$f") ${options:-(defaults)}" \
            "$(info_value "$WORK/lengths.txt" "$(winpath "$f")" length)" "${native:-0}"
    done
}
lengths "" "$CORPUS"/songs/*
lengths "--remove-silence --loops 2" "${compared[@]}"

finish
