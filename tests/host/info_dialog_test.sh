# The information dialog from the record for a song of each format: header, pages and their
# pictures, the pattern grid, loading the sample data, and playback undisturbed while it is open.
source "$SUPPORT/dialog_harness.sh"

home="$WORK/home"
mkdir -p "$home"

check_song() { # name file format-prefix tabs
    local name=$1 file=$2 format=$3 tabs=$4 actions=() i count titles
    local report="$WORK/$name.txt"
    IFS='|' read -ra titles <<<"$tabs"
    count=${#titles[@]}
    actions=(--act tabs --act read:1018 --act read:1015 --act cell:1046:0:1 --act "shot:$name-0")
    for ((i = 1; i < count; i++)); do
        actions+=(--act "tab:$i" --act "shot:$name-$i")
    done
    drive_dialog "$report" infobox "$PLUGIN" "$(winpath "$file")" --home "$(winpath "$home")" \
        "${actions[@]}" --act click:1
    expect_eq "$name tabs" "$(key tabs "$report")" "$tabs"
    [[ "$(key control_1018 "$report")" == "1,0,$format"* ]] ||
        fail "$name format: $(key control_1018 "$report")"
    # The file size with thousands separators: 1,234,567.
    expect_controls "$report" \
        "1015=1,0,$(stat -c %s "$file" | rev | sed 's/\([0-9]\{3\}\)/\1,/g; s/,$//' | rev)"
    expect_eq "$name first channel heading" "$(key cell_1046_0_1 "$report")" 1
    for ((i = 0; i < count; i++)); do
        [[ -s "$WORK/$name-$i.png" ]] || fail "no picture of $name page $i"
    done
}

songs="$CORPUS/songs"
check_song mod "$songs/madbomber-data__gluppobe.mod" "Amiga Protracker" "Patterns|Samples"
check_song s3m "$songs/gl-117-data__dark.s3m" "Scream Tracker 3" "Patterns|Samples"
check_song xm "$songs/njam-data__dali.xm" "FastTracker 2" "Patterns|Instruments|Samples"
check_song it "$songs/gltron__song_revenge_of_cats.it" "Impulse Tracker" \
    "Patterns|Instruments|Samples|Song Message"
check_song mtm "$CORPUS/features/mtm/m_fall1.mtm" "MultiTracker" "Patterns|Samples"
check_song 669 "$CORPUS/features/669/m_sonic_boom.669" "669 Composer" "Patterns|Samples"

# A 4-channel MOD: five grid columns, empty cells dotted; "Load Sample Data" loads once, then greys.
mod="$songs/madbomber-data__gluppobe.mod"
drive_dialog "$WORK/load.txt" infobox "$PLUGIN" "$(winpath "$mod")" --home "$(winpath "$home")" \
    --act cell:1046:2:0 --act cell:1046:2:4 --act cell:1046:2:1 --act item:1045:2 \
    --act cell:1046:2:1 --act tab:1 --act read:1047 --act click:1047 \
    --act sleep:500 --act read:1047 --act shot:mod-samples-loaded --act click:1
expect_eq "grid columns" "$(key columns_1046 "$WORK/load.txt")" 5
expect_eq "first pattern row number" "$(key cell_1046_2_0 "$WORK/load.txt")" 0
[[ "$(key cell_1046_2_4 "$WORK/load.txt")" =~ ^(\.\.\.|[A-G][-#][0-9])\ (\.\.|[0-9A-F]{2})\ (\.\.\.|[0-9A-F]{3})$ ]] ||
    fail "MOD cell text: $(key cell_1046_2_4 "$WORK/load.txt")"
# Order 0 plays pattern 0, whose first cell is B-3 with sample 7 and effect F03; choosing
# order 2 shows pattern 13 instead.
first_cells=($(sed -n 's/^cell_1046_2_1=//p' "$WORK/load.txt" | tr ' ' '_'))
expect_eq "first cell of pattern 0" "${first_cells[0]}" "B-3_07_F03"
[[ "${first_cells[1]:-}" != "" && "${first_cells[1]}" != "${first_cells[0]}" ]] ||
    fail "choosing another order kept the grid: ${first_cells[*]}"
expect_controls "$WORK/load.txt" "1047=1,0,Load Sample Data" "1047=0,0,Load Sample Data"

# The dialog for the song playing, and for another, open while it plays: the sound is unchanged.
played="$songs/madbomber-data__waterfal.mod"
winhost play "$PLUGIN" "$(winpath "$played")" "$(winpath "$WORK/plain.wav")" --speed 0 \
    --home "$(winpath "$home")" >"$WORK/plain.txt"
pcm_of "$WORK/plain.wav" "$WORK/plain.pcm"
[[ -s "$WORK/plain.pcm" ]] || fail "no sound played"
for other in "$played" "$songs/njam-data__dali.xm"; do
    tag=$(basename "$other")
    winhost play "$PLUGIN" "$(winpath "$played")" "$(winpath "$WORK/info-$tag.wav")" --speed 0 \
        --home "$(winpath "$home")" --infobox-at "0:$(winpath "$other")" --act tab:1 \
        --act sleep:300 --act click:1 >"$WORK/info-$tag.txt"
    expect_keys "$WORK/info-$tag.txt" infobox_result=0 dialog_found=1
    pcm_of "$WORK/info-$tag.wav" "$WORK/info-$tag.pcm"
    same_bytes "sound with the dialog open ($tag)" "$WORK/plain.pcm" "$WORK/info-$tag.pcm"
done
finish
