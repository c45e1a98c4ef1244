# Writes a 45-byte settings file for the plug-in tests: the defaults, with any field changed by
# NAME=VALUE arguments (titleFormat, lengthMode, mixingFrequency, outputBits, removeSilence,
# trailingSilenceSeconds, amp, forceMono, reverseStereo, disableOversampling, enableMod, ...).
write_settings() { # out [name=value]...
    local out=$1
    shift
    declare -A v=([titleFormat]=2 [lengthMode]=0 [mixingFrequency]=44100
        [trailingSilenceSeconds]=1 [loopCount]=1 [extraLoopSeconds]=0 [amp]=0 [outputBits]=16
        [stripTrailingEmptyPatterns]=0 [removeSilence]=0 [removeInitialSilence]=0
        [limitTrailingSilence]=0 [loopByCount]=0 [extraPlayTime]=0 [oldProTrackerMode]=0
        [disableModPanning]=1 [disableOversampling]=0 [forceMono]=0 [reverseStereo]=0
        [enableMod]=1 [enable669]=1 [enableMtm]=1 [enableS3m]=1 [enableXm]=1 [enableIt]=1
        [enableMod15]=1)
    local pair
    for pair in "$@"; do
        [[ -v "v[${pair%%=*}]" ]] || { echo "write_settings: unknown field ${pair%%=*}" >&2; return 1; }
        v[${pair%%=*}]=${pair#*=}
    done
    le() { # value bytes
        local x=$1 i out=""
        for ((i = 0; i < $2; i++)); do
            out+=$(printf '\\x%02x' $((x & 255)))
            x=$((x >> 8))
        done
        printf "$out"
    }
    {
        local name
        for name in titleFormat lengthMode mixingFrequency trailingSilenceSeconds loopCount \
            extraLoopSeconds; do
            le "${v[$name]}" 4
        done
        le $((v[amp] & 0xFFFF)) 2
        for name in outputBits stripTrailingEmptyPatterns removeSilence removeInitialSilence \
            limitTrailingSilence loopByCount extraPlayTime oldProTrackerMode disableModPanning \
            disableOversampling forceMono reverseStereo enableMod enable669 enableMtm enableS3m \
            enableXm enableIt enableMod15; do
            le "${v[$name]}" 1
        done
    } >"$out"
}
