# The configuration dialog worked as a user would through window messages: what OK saves,
# what Cancel keeps, the frequency clamp, and the controls that depend on others.
source "$SUPPORT/dialog_harness.sh"
source "$SUPPORT/settings_builder.sh"

home="$WORK/home"
dat="$home/settings/Plugins/in_tolva.dat"
mkdir -p "$home/settings/Plugins"
files=() # whose titles the host prints after the dialog
config() { # report actions...
    local report=$1
    shift
    local args=() a
    for a in "$@"; do args+=(--act "$a"); done
    drive_dialog "$report" config "$PLUGIN" "${files[@]}" --home "$(winpath "$home")" "${args[@]}"
}

# The defaults on show, with a picture; Cancel writes nothing.
config "$WORK/open.txt" read:1006 read:1007 read:1013 read:1009 read:1012 read:1040 read:1039 \
    read:1023 read:1037 read:1027 read:1032 read:1033 read:1041 shot:config click:2
r="$WORK/open.txt"
expect_eq "title radio TOLVA" "$(control_state "$r" 1006)" "1,1,TOLVA: \"Internal title of tracker file\" - \"filename\""
expect_eq "no backward jumps" "$(control_state "$r" 1007)" "1,1,Disable backward jumps"
expect_eq "extra play time greyed" "$(control_state "$r" 1013)" "0,0,Enable extra play time"
expect_eq "loop radio greyed" "$(control_state "$r" 1009)" "0,0,Playing loops"
expect_eq "loop count greyed" "$(control_state "$r" 1012)" "0,0,1"
expect_eq "trailing limit greyed" "$(control_state "$r" 1040)" "0,0,Enable max"
expect_eq "initial greyed" "$(control_state "$r" 1039)" "0,0,Initial"
expect_eq "15-sample MOD" "$(control_state "$r" 1023)" "1,1,also with 15 samples"
expect_eq "reverse stereo" "$(control_state "$r" 1037)" "1,0,Reverse L/R"
expect_eq "amplification text" "$(control_state "$r" 1027)" "1,0,+0.00 dB"
expect_eq "frequency" "$(control_state "$r" 1032)" "1,0,44100"
expect_eq "output bits" "$(control_state "$r" 1033)" "1,0,16"
expect_eq "trailing seconds greyed" "$(control_state "$r" 1041)" "0,0,1"
[[ ! -e "$dat" ]] || fail "Cancel wrote the settings file"

# Every kind of control changed, then OK: the file holds exactly the edited record, and the
# new title format is in force at once.
config "$WORK/edit.txt" click:1004 click:1008 click:1029 click:1038 click:1039 click:1040 \
    text:1041:12 click:1013 read:1009 read:1012 click:1009 read:1012 read:1015 text:1012:3 \
    text:1015:77 click:1044 click:1045 click:1018 click:1022 read:1023 click:1024 \
    select:1032:3 select:1033:2 track:1026:0 read:1027 click:1028 read:1037 click:1025 \
    shot:config-edited click:1
r="$WORK/edit.txt"
expect_eq "loop radios enabled by extra play time" "$(control_state "$r" 1009)" "1,0,Playing loops"
expect_eq "loop count enabled by its radio" "$(sed -n 's/^control_1012=//p' "$r" | tail -1)" "1,0,1"
expect_eq "extra seconds greyed by the count radio" "$(control_state "$r" 1015)" "0,0,0"
expect_eq "15-sample MOD greyed, still ticked" "$(control_state "$r" 1023)" "0,1,also with 15 samples"
expect_eq "amplification fully left" "$(control_state "$r" 1027)" "1,0,-15.00 dB"
expect_eq "reverse greyed by mono" "$(control_state "$r" 1037)" "0,0,Reverse L/R"
write_settings "$WORK/expected.dat" titleFormat=0 lengthMode=1 mixingFrequency=48000 \
    trailingSilenceSeconds=12 loopCount=3 extraLoopSeconds=77 amp=-1500 outputBits=32 \
    stripTrailingEmptyPatterns=1 removeSilence=1 removeInitialSilence=1 limitTrailingSilence=1 \
    loopByCount=1 extraPlayTime=1 oldProTrackerMode=1 disableModPanning=0 \
    disableOversampling=1 forceMono=1 enableIt=0 enableMod=0 enable669=0
expect_eq "saved settings" "$(hex_of "$dat")" "$(hex_of "$WORK/expected.dat")"

# Cancel after changes leaves the file as it was.
cp "$dat" "$WORK/before.dat"
config "$WORK/cancel.txt" click:1006 track:1026:3000 text:1032:22050 click:1030 click:2
expect_eq "file after Cancel" "$(hex_of "$dat")" "$(hex_of "$WORK/before.dat")"

# Typed frequencies: below the range falls back to 44100, the top of the range stays, and a
# typed value counts although no list entry was chosen. Letters in a number field read as 0.
write_settings "$dat"
config "$WORK/low.txt" text:1032:4999 click:1
expect_eq "4999 Hz" "$(od -An -tu4 -j8 -N4 "$dat" | tr -d ' ')" 44100
config "$WORK/high.txt" text:1032:96000 click:1
expect_eq "96000 Hz" "$(od -An -tu4 -j8 -N4 "$dat" | tr -d ' ')" 96000
config "$WORK/typed.txt" select:1032:2 text:1032:22050 text:1041:12x click:1
expect_eq "typed 22050 Hz" "$(od -An -tu4 -j8 -N4 "$dat" | tr -d ' ')" 22050
expect_eq "non-numeric seconds" "$(od -An -tu4 -j12 -N4 "$dat" | tr -d ' ')" 0

# Extra time by seconds under loop detection greys the trailing limit even with silence
# removal on; backward jumps off greys the loop options but keeps their values.
write_settings "$dat" lengthMode=1 extraPlayTime=1 loopByCount=0 removeSilence=1 loopCount=5
config "$WORK/rules.txt" read:1040 read:1041 read:1015 click:1007 read:1013 read:1010 \
    read:1015 read:1040 click:2
r="$WORK/rules.txt"
expect_eq "trailing limit greyed by extra seconds" "$(control_state "$r" 1040)" "0,0,Enable max"
expect_eq "trailing seconds greyed" "$(control_state "$r" 1041)" "0,0,1"
expect_eq "extra seconds enabled" "$(control_state "$r" 1015)" "1,0,0"
expect_eq "extra play time greyed, ticked" "$(control_state "$r" 1013)" "0,1,Enable extra play time"
expect_eq "loop radio greyed, chosen" "$(control_state "$r" 1010)" "0,1,Extra time for loops:"
expect_eq "trailing limit back" "$(sed -n 's/^control_1040=//p' "$r" | tail -1)" "1,0,Enable max"

# Reset to Defaults and OK writes the default file.
config "$WORK/reset.txt" click:1030 read:1041 click:1
write_settings "$WORK/defaults.dat"
expect_eq "defaults saved" "$(hex_of "$dat")" "$(hex_of "$WORK/defaults.dat")"
expect_eq "trailing seconds reset" "$(control_state "$WORK/reset.txt" 1041)" "0,0,1"

# A title format chosen with OK names the next title the host asks for.
write_settings "$dat" titleFormat=0
cp "$CORPUS/songs/madbomber-data__gluppobe.mod" "$WORK/y.mod"
files=("$(winpath "$WORK/y.mod")")
config "$WORK/title.txt" click:1005 click:1
expect_eq "title after OK" "$(key title "$WORK/title.txt")" "Gluppobert - y.mod"
finish
