# A 45-byte settings file for the plug-in tests: the defaults but for the NAME=VALUE arguments.
write_settings() { # out [name=value]...
    local out=$1 field pair values=() known=" "
    shift
    for field in titleFormat=2 lengthMode=0 mixingFrequency=44100 trailingSilenceSeconds=1 \
        loopCount=1 extraLoopSeconds=0 amp=0 outputBits=16 stripTrailingEmptyPatterns=0 \
        removeSilence=0 removeInitialSilence=0 limitTrailingSilence=0 loopByCount=0 \
        extraPlayTime=0 oldProTrackerMode=0 disableModPanning=1 disableOversampling=0 \
        forceMono=0 reverseStereo=0 enableMod=1 enable669=1 enableMtm=1 enableS3m=1 enableXm=1 \
        enableIt=1 enableMod15=1; do
        known+="${field%%=*} "
        for pair; do [[ ${pair%%=*} == "${field%%=*}" ]] && field=$pair; done
        values+=("${field#*=}")
    done
    for pair; do
        [[ $known == *" ${pair%%=*} "* ]] || fail "write_settings: unknown field ${pair%%=*}"
    done
    perl -e 'print pack("V6 v C19", @ARGV)' "${values[@]}" >"$out"
}
