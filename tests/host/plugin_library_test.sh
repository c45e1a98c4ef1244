# The library as the media player finds it: plain export names, nothing but system DLLs to
# load, a version record, and an input-module record the host can read.
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
expect_eq description "$(key description "$WORK/record.txt")" "Taldo's Module Decoder v0.96 (x86)"
expect_eq seekable "$(key is_seekable "$WORK/record.txt")" 1
expect_eq "uses output plug-in" "$(key uses_output_plug "$WORK/record.txt")" 1
expect_eq "file types" "$(key file_types "$WORK/record.txt")" \
    "MOD|Amiga ProTracker File (*.MOD)|MTM|MultiTracker File (*.MTM)|669|Composer 669 File (*.669)|S3M|ScreamTracker3 File (*.S3M)|XM|FastTracker2 File (*.XM)|IT|ImpulseTracker File (*.IT)"

finish
