# The information dialog as the user resizes it: controls follow, odd widths split fairly, the
# border stops at the template's size, and the next opening comes back where and as large as it
# was left. The about box opens from the record, shows its texts and closes with OK.
source "$SUPPORT/dialog_harness.sh"

home="$WORK/home"
mkdir -p "$home"
mod="$(winpath "$CORPUS/songs/madbomber-data__gluppobe.mod")"
report="$WORK/layout.txt"
drive_dialog "$report" infobox "$PLUGIN" "$mod" "$mod" --home "$(winpath "$home")" \
    --act rect --act pos:1 --act pos:1028 --act grow:3:0 --act grow:3:0 --act pos:1 \
    --act sizing:1:100 --act sizing:2:100 --act grow:40:30 --act pos:1028 --act pos:1 \
    --act move:50:60 --act rect --act shot:grown --act click:1 --act next --act rect --act click:1

rects=($(sed -n 's/^rect=//p' "$report"))
IFS=, read -r left top width height <<<"${rects[0]}"
# change KEY A B X Y: fields X and Y (1 to 4: x, y, w, h) of KEY's line B less those of line A.
change() {
    sed -n "s/^$1=//p" "$report" | awk -F, -v a="$2" -v b="$3" -v x="$4" -v y="$5" \
        'NR == a + 1 { p = $x; q = $y } NR == b + 1 { print $x - p "," $y - q }'
}
expect_eq "OK after widening twice by 3" "$(change pos_1 0 1 1 2)" "3,0"
expect_eq "OK after growing by 40x30" "$(change pos_1 1 2 1 2)" "20,30"
expect_eq "tab control growth" "$(change pos_1028 0 1 3 4)" "46,30"

# Dragging below the minimum: the dragged edge goes back out, the other stays. The window is
# 6 pixels wider than at first by then, so its right edge is at left + width + 6.
sizes=($(sed -n 's/^sizing=//p' "$report" | cut -d, -f1,3)) # left, width
expect_eq "left-edge drag" "${sizes[0]}" "$((left + 6)),$width"
expect_eq "right-edge drag" "${sizes[1]}" "$left,$width"

expect_eq "moved and grown" "${rects[1]}" "50,60,$((width + 46)),$((height + 30))"
expect_eq "reopened where it was left" "${rects[2]}" "${rects[1]}"

drive_dialog "$WORK/about.txt" about "$PLUGIN" --act read:1 --act shot:about --act click:1
expect_controls "$WORK/about.txt" "1=1,0,OK"
[[ -s "$WORK/about.png" && -s "$WORK/grown.png" ]] || fail "no pictures of the dialogs"
finish
