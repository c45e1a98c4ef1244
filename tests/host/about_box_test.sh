# The about box opens from the record, shows its texts and closes with OK.
source "$SUPPORT/dialog_harness.sh"

drive_dialog "$WORK/about.txt" about "$PLUGIN" --act read:1 --act shot:about --act click:1
expect_eq "OK button" "$(control_state "$WORK/about.txt" 1)" "1,0,OK"
[[ -s "$WORK/about.png" ]] || fail "no picture of the about box"
finish
