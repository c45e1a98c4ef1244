#!/usr/bin/env bash
# Golden renders: for every corpus song and feature file, the length the playlist shows and a hash
# of its first 10 s of PCM at default settings, against the table beside this script.
#   bash renders_test.sh TOLVA CORPUS_DIR [--update]
# A difference is listed and fails; --update rewrites the table after an intended change.
set -uo pipefail
tolva=$(readlink -f "$1")
corpus=$2
table="$(cd "$(dirname "$0")" && pwd)/renders.tsv"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$corpus" || exit 1

find songs features -type f | LC_ALL=C sort >"$work/files"
# One process scans every length; refused files are missing from its answer.
xargs -d '\n' "$tolva" length --json <"$work/files" 2>/dev/null |
  sed -n 's/^{"file":"\(.*\)","length_ms":\([0-9]*\),.*/\1\t\2/p' | LC_ALL=C sort -t $'\t' -k1,1 >"$work/lengths"
# The random variation of IT instruments is seeded so that renders repeat.
render_hash() {
  local pcm
  set -o pipefail
  pcm=$("$1" render "$2" -o - --seconds 10 --seed 1 2>/dev/null | sha256sum) || pcm=refused
  printf '%s\t%s\n' "$2" "${pcm:0:16}"
}
export -f render_hash
xargs -d '\n' -P "$(nproc)" -I{} bash -c 'render_hash "$0" "$1"' "$tolva" {} <"$work/files" |
  LC_ALL=C sort -t $'\t' -k1,1 >"$work/hashes"
LC_ALL=C join -t $'\t' -a 1 -e refused -o 0,2.2,1.2 "$work/hashes" "$work/lengths" >"$work/table"

if [[ "${3:-}" == --update ]]; then
  { printf 'file\tlength_ms\tpcm_sha256_first_10s\n'; cat "$work/table"; } >"$table"
  echo "rewrote $table ($(wc -l <"$work/table") files)"
  exit 0
fi
if diff <(tail -n +2 "$table") "$work/table" >"$work/diff"; then
  echo "$(wc -l <"$work/table") files render as before"
  exit 0
fi
echo "Renders differ from the table (< table, > now); after an intended change run scripts/update-golden:"
cat "$work/diff"
exit 1
