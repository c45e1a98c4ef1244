# Damaged and cut files through playbin: what the tool refuses ends in an error on the bus that
# says why, the rest plays to its end; never a crash or a hang.
source "$(dirname "$0")/lib.sh"
player=$4

files=("$corpus"/features/*/f_*)
for song in "${songs[@]}"; do
    # Cut inside the header, inside the pattern data and near the end.
    size=$(stat -c %s "$corpus/$song")
    for at in 100 $((size / 3)) $((size - 7)); do
        cut=$work/cut-$at-$(basename "$song")
        head -c "$at" "$corpus/$song" >"$cut"
        files+=("$cut")
    done
done

# The tool's exit status says how it judged the file: 0 played, 1 refused with a reason, 2 not a
# module, which GStreamer's typefinders may take for anything else and fail on their own way.
for file in "${files[@]}"; do
    name=$(basename "$file")
    err=$("$tolva" render "$file" -o - --bits 16 --seed 0 2>&1 >/dev/null)
    judged=$?
    out=$(timeout 90 "$player" "file://$file" 2>&1)
    played=$?
    reason=$(sed -n 's/^ERROR: //p' <<<"$out" | head -n 1)
    if ((played == 124 || played > 128)); then
        fail "$name: playbin hung or crashed ($played): $out"
    elif ((judged == 0 && played != 0)); then
        fail "$name: the tool plays it, playbin failed: $out"
    elif ((judged != 0 && played == 0)); then
        fail "$name: the tool refuses it, playbin played it"
    elif ((judged == 1)) && [[ $reason != "Cannot play this module: ${err##*: }." &&
        $reason != "Could not determine type of stream." ]]; then
        fail "$name: not the reason '${err##*: }' in: $out"
    fi
done

finish
