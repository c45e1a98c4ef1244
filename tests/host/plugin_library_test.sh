# The library as the media player finds it: plain export names, nothing but system DLLs to
# load, a version record, an input-module record read word by word in the order of the player's
# table, its files in the player's folders, and the package that hands it over.
source "$SUPPORT/plugin_harness.sh"

exports=$("$OBJDUMP" -p "$PLUGIN" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
expect_eq "exported names" "$exports" "winampGetInModule2 winampUninstallPlugin "

system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll advapi32.dll shell32.dll msvcrt.dll uxtheme.dll ole32.dll "
for binary in "$PLUGIN" "$WINHOST"; do
    while read -r dll; do
        [[ "$system_dlls" == *" ${dll,,} "* ]] || fail "$(basename "$binary") needs $dll"
    done < <("$OBJDUMP" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done

strings16=$("${OBJDUMP%objdump}strings" -el "$PLUGIN")
for text in "OriginalFilename" "in_tolva.dll" "Taldo's Module Decoder v0.96 (x86)"; do
    grep -qF "$text" <<<"$strings16" || fail "version record lacks '$text'"
done

winhost uninstall "$PLUGIN" --no-dirs >"$WORK/record.txt" || fail "winhost could not load the plug-in"
expect_keys "$WORK/record.txt" "description=Taldo's Module Decoder v0.96 (x86)" uninstall=1 \
    "file_types=MOD|Amiga ProTracker File (*.MOD)|MTM|MultiTracker File (*.MTM)|669|Composer 669 File (*.669)|S3M|ScreamTracker3 File (*.S3M)|XM|FastTracker2 File (*.XM)|IT|ImpulseTracker File (*.IT)"

# The entry point at each place is named by the library's own symbols, not by the plug-in's
# header, so two swapped entries cannot agree with themselves.
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
offset=0
for expected in 256 - 0 0 - 1 1 Config About Init Quit GetFileInfo InfoBox IsOurFile Play Pause \
    UnPause IsPaused Stop GetLength GetOutputTime SetOutputTime SetVolume SetPan 0 0 0 0 0 0 0 0 \
    0 0 0 EQSet 0 0; do
    word=$((words[offset / 4]))
    [[ $expected == - ]] || expect_eq "record word at $offset" "${names[$word]:-$word}" "$expected"
    offset=$((offset + 4))
done

# Uninstalling removes the plug-in's files and no other; Init creates the Plugins folder.
home="$WORK/home"
mkdir -p "$home/settings/Plugins" "$home/plugins"
head -c 45 /dev/zero >"$home/settings/Plugins/in_tolva.dat"
echo notes >"$home/plugins/in_tolva.txt"
echo keep | tee "$home/plugins/in_other.txt" >"$home/settings/Plugins/in_other.dat"
winhost uninstall "$PLUGIN" --home "$(winpath "$home")" >"$WORK/uninstall.txt"
expect_eq "uninstall answer" "$(key uninstall "$WORK/uninstall.txt")" 1
expect_eq "files left" "$(cd "$home" && find . -type f | sort | tr '\n' ' ')" \
    "./plugins/in_other.txt ./settings/Plugins/in_other.dat "
winhost uninstall "$PLUGIN" --home "$(winpath "$WORK/fresh")" >/dev/null
[[ -d "$WORK/fresh/settings/Plugins" ]] || fail "Init did not create the Plugins folder"

# The package hands over the plug-in with the text on installing it.
cpack --config "$CPACK_CONFIG" -B "$WORK/package" >/dev/null 2>&1 || fail "cpack failed"
expect_eq "package" "$(python3 -c 'import sys, zipfile; print(*sorted(zipfile.ZipFile(sys.argv[1]).namelist()))' \
    "$WORK"/package/in_tolva-*.zip)" "Installing.txt in_tolva.dll"
finish
