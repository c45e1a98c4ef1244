# The input-module record as the media player reads it, word by word in the order of the
# player's table: the entry point at each place is named by the library's own symbols, not
# by the plug-in's header, so two swapped entries cannot agree with themselves.
source "$SUPPORT/plugin_harness.sh"

vmas=($("$OBJDUMP" -h "$PLUGIN" | awk '$1 ~ /^[0-9]+$/ { print $4 }'))
declare -A names # address -> name in namespace tolva::host
while read -r sec value name; do
    names[$((0x${vmas[sec - 1]} + value))]=$name
done < <("$OBJDUMP" -t "$PLUGIN" |
    sed -n 's/^\[ *[0-9]*\](sec *\([0-9]*\)).* \(0x[0-9a-f]*\) __ZN5tolva4host[0-9]*\([A-Za-z]*\)E.*/\1 \2 \3/p')
record=
for address in "${!names[@]}"; do [[ ${names[$address]} == plugin ]] && record=$address; done
[[ -n "$record" ]] || fail "no record symbol in the library"

words=($("$OBJDUMP" -s -j .data --start-address=$record --stop-address=$((record + 152)) "$PLUGIN" |
    sed -n 's/^ [0-9a-f]\{8\} \(\([0-9a-f]\{2,8\} \)\{1,4\}\).*/\1/p' | tr -d ' \n' |
    sed 's/\(..\)\(..\)\(..\)\(..\)/0x\4\3\2\1 /g'))
expect_eq "record words" "${#words[@]}" 38
word() { echo $((words[$1 / 4])); }
entry() { echo "${names[$((words[$1 / 4]))]:-$(word "$1")}"; }

expect_eq "version" "$(word 0)" 256
for offset in 8 12 96 100 104 108 112 116 120 124 128 132 136 144 148; do
    expect_eq "player's field at $offset" "$(word $offset)" 0
done
expect_eq "is_seekable" "$(word 20)" 1
expect_eq "UsesOutputPlug" "$(word 24)" 1
offset=28
for name in Config About Init Quit GetFileInfo InfoBox IsOurFile Play Pause UnPause IsPaused \
    Stop GetLength GetOutputTime SetOutputTime SetVolume SetPan; do
    expect_eq "entry point at $offset" "$(entry $offset)" "$name"
    offset=$((offset + 4))
done
expect_eq "entry point at 140" "$(entry 140)" EQSet
finish
