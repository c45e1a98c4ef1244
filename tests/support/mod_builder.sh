# Writes small 4-channel MOD files for the plug-in tests: one looped square-wave sample and
# one pattern whose channel 0 plays that sample at chosen rows.

# Raw bytes from decimal values.
mod_bytes() {
    local v out=""
    for v in "$@"; do
        out+=$(printf '\\x%02x' "$v")
    done
    printf "$out"
}

# Text padded with zero bytes (or cut) to exactly N bytes.
mod_text() { # text n
    printf '%s' "$1" | head -c "$2"
    head -c $(($2 - ${#1} > 0 ? $2 - ${#1} : 0)) /dev/zero
}

# write_mod OUT TITLE ROW... : the song plays its one pattern once, 64 rows of 120 ms at the
# default speed and tempo; each ROW starts the sample on channel 0 at period 428.
write_mod() {
    local out=$1 title=$2
    shift 2
    local -a rows=("$@")
    {
        mod_text "$title" 20
        # Sample 1: 64 bytes, volume 64, looped over its whole length; samples 2..31 empty.
        mod_text "square" 22
        mod_bytes 0 32 0 64 0 0 0 32
        head -c $((30 * 30)) /dev/zero
        mod_bytes 1 127 # song length, restart byte
        head -c 128 /dev/zero
        printf 'M.K.'
        local row r
        for ((row = 0; row < 64; row++)); do
            local cell=(0 0 0 0)
            for r in "${rows[@]}"; do
                ((r == row)) && cell=(1 172 16 0) # period 0x1AC, sample 1, no effect
            done
            mod_bytes "${cell[@]}"
            head -c 12 /dev/zero # channels 1..3
        done
        head -c 32 /dev/zero | tr '\0' '\100' # +64
        head -c 32 /dev/zero | tr '\0' '\300' # -64
    } >"$out"
}
