# The configuration dialog worked as a user would through window messages: what OK saves,
# what Cancel keeps, the frequency clamp, and the controls that depend on others.
source "$SUPPORT/dialog_harness.sh"
source "$SUPPORT/settings_builder.sh"

home="$WORK/home"
dat="$home/settings/Plugins/in_tolva.dat"
mkdir -p "$home/settings/Plugins"
files=() # whose titles the host prints after the dialog
config() { # name actions...
    local report="$WORK/$1.txt" args=() a
    shift
    for a in "$@"; do args+=(--act "$a"); done
    drive_dialog "$report" config "$PLUGIN" "${files[@]}" --home "$(winpath "$home")" "${args[@]}"
}
frequency() { od -An -tu4 -j8 -N4 "$dat" | tr -d ' '; }

# The defaults on show, with a picture; Cancel writes nothing.
config open read:1006 read:1007 read:1013 read:1009 read:1012 read:1040 read:1039 read:1023 \
    read:1037 read:1027 read:1032 read:1033 read:1041 shot:config click:2
expect_controls "$WORK/open.txt" \
    '1006=1,1,TOLVA: "Internal title of tracker file" - "filename"' \
    "1007=1,1,Disable backward jumps" "1013=0,0,Enable extra play time" \
    "1009=0,0,Playing loops" "1012=0,0,1" "1040=0,0,Enable max" "1039=0,0,Initial" \
    "1023=1,1,also with 15 samples" "1037=1,0,Reverse L/R" "1027=1,0,+0.00 dB" \
    "1032=1,0,44100" "1033=1,0,16" "1041=0,0,1"
[[ ! -e "$dat" ]] || fail "Cancel wrote the settings file"

# Every kind of control changed, then OK: the file holds exactly the edited record.
config edit click:1004 click:1008 click:1029 click:1038 click:1039 click:1040 text:1041:12 \
    click:1013 read:1009 click:1009 read:1012 read:1015 text:1012:3 text:1015:77 click:1044 \
    click:1045 click:1018 click:1022 read:1023 click:1024 select:1032:3 select:1033:2 \
    track:1026:0 read:1027 click:1028 read:1037 click:1025 shot:config-edited click:1
expect_controls "$WORK/edit.txt" "1009=1,0,Playing loops" "1012=1,0,1" "1015=0,0,0" \
    "1023=0,1,also with 15 samples" "1027=1,0,-15.00 dB" "1037=0,0,Reverse L/R"
write_settings "$WORK/expected.dat" titleFormat=0 lengthMode=1 mixingFrequency=48000 \
    trailingSilenceSeconds=12 loopCount=3 extraLoopSeconds=77 amp=-1500 outputBits=32 \
    stripTrailingEmptyPatterns=1 removeSilence=1 removeInitialSilence=1 limitTrailingSilence=1 \
    loopByCount=1 extraPlayTime=1 oldProTrackerMode=1 disableModPanning=0 \
    disableOversampling=1 forceMono=1 enableIt=0 enableMod=0 enable669=0
same_bytes "saved settings" "$dat" "$WORK/expected.dat"

# Cancel after changes leaves the file as it was.
cp "$dat" "$WORK/before.dat"
config cancel click:1006 track:1026:3000 text:1032:22050 click:1030 click:2
same_bytes "file after Cancel" "$dat" "$WORK/before.dat"

# Typed frequencies: below the range falls back to 44100, the top of the range stays, and a
# typed value counts although no list entry was chosen. Letters in a number field read as 0.
write_settings "$dat"
config low text:1032:4999 click:1
expect_eq "4999 Hz" "$(frequency)" 44100
config high text:1032:96000 click:1
expect_eq "96000 Hz" "$(frequency)" 96000
config typed select:1032:2 text:1032:22050 text:1041:12x click:1
expect_eq "typed 22050 Hz" "$(frequency)" 22050
expect_eq "non-numeric seconds" "$(od -An -tu4 -j12 -N4 "$dat" | tr -d ' ')" 0

# Extra time by seconds under loop detection greys the trailing limit even with silence
# removal on; backward jumps off greys the loop options but keeps their values.
write_settings "$dat" lengthMode=1 extraPlayTime=1 loopByCount=0 removeSilence=1 loopCount=5
config rules read:1040 read:1041 read:1015 click:1007 read:1013 read:1010 read:1040 click:2
expect_controls "$WORK/rules.txt" "1040=0,0,Enable max" "1041=0,0,1" "1015=1,0,0" \
    "1013=0,1,Enable extra play time" "1010=0,1,Extra time for loops:" "1040=1,0,Enable max"

# Reset to Defaults and OK writes the default file.
config reset click:1030 read:1041 click:1
write_settings "$WORK/defaults.dat"
same_bytes "defaults saved" "$dat" "$WORK/defaults.dat"
expect_controls "$WORK/reset.txt" "1041=0,0,1"

# A title format chosen with OK names the next title the host asks for.
write_settings "$dat" titleFormat=0
cp "$CORPUS/songs/madbomber-data__gluppobe.mod" "$WORK/y.mod"
files=("$(winpath "$WORK/y.mod")")
config title click:1005 click:1
expect_eq "title after OK" "$(key title "$WORK/title.txt")" "Gluppobert - y.mod"
finish
