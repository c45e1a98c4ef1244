# The information dialog's layout as the user resizes it: controls follow the growth, odd
# widths split fairly, the border cannot be dragged below the template's size, and the next
# opening comes back where and as large as the last one was left. The about box opens from the
# record, shows its texts and closes with OK.
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
ok=($(sed -n 's/^pos_1=//p' "$report"))
tabs=($(sed -n 's/^pos_1028=//p' "$report"))
IFS=, read -r ok_x ok_y _ <<<"${ok[0]}"
IFS=, read -r ok_x2 ok_y2 _ <<<"${ok[1]}"
IFS=, read -r ok_x3 ok_y3 _ <<<"${ok[2]}"
expect_eq "OK after widening twice by 3" "$((ok_x2 - ok_x)),$((ok_y2 - ok_y))" "3,0"
expect_eq "OK after growing by 40x30" "$((ok_x3 - ok_x2)),$((ok_y3 - ok_y2))" "20,30"
IFS=, read -r _ _ tab_w tab_h <<<"${tabs[0]}"
IFS=, read -r _ _ tab_w2 tab_h2 <<<"${tabs[1]}"
expect_eq "tab control growth" "$((tab_w2 - tab_w)),$((tab_h2 - tab_h))" "46,30"

# Dragging below the minimum: the dragged edge goes back out, the other stays. The window is
# 6 pixels wider than at first by then, so its right edge is at left + width + 6.
sizes=($(sed -n 's/^sizing=//p' "$report"))
IFS=, read -r l1 _ w1 _ <<<"${sizes[0]}"
IFS=, read -r l2 _ w2 _ <<<"${sizes[1]}"
expect_eq "left-edge drag" "$l1,$w1" "$((left + 6)),$width"
expect_eq "right-edge drag" "$l2,$w2" "$left,$width"

expect_eq "moved and grown" "${rects[1]}" "50,60,$((width + 46)),$((height + 30))"
expect_eq "reopened where it was left" "${rects[2]}" "${rects[1]}"

drive_dialog "$WORK/about.txt" about "$PLUGIN" --act read:1 --act shot:about --act click:1
expect_controls "$WORK/about.txt" "1=1,0,OK"
[[ -s "$WORK/about.png" && -s "$WORK/grown.png" ]] || fail "no pictures of the dialogs"
finish
