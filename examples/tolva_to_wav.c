/* Plays a module into a WAV file through libtolva alone.
 *   cc tolva_to_wav.c $(pkg-config --cflags --libs tolva) -o tolva_to_wav
 *   ./tolva_to_wav SONG.xm OUT.wav */
#include <tolva/tolva.h>

#include <stdio.h>
#include <string.h>

static void put32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (unsigned char)(v >> (8 * i));
}

/* A canonical 44-byte header for 16-bit stereo PCM. */
static void wav_header(unsigned char h[44], uint32_t rate, uint32_t data_bytes) {
    memcpy(h, "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0", 24);
    put32(h + 4, 36 + data_bytes);
    put32(h + 24, rate);
    put32(h + 28, rate * 4);
    memcpy(h + 32, "\x04\0\x10\0data", 8);
    put32(h + 40, data_bytes);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s SONG OUT.wav\n", argv[0]);
        return 2;
    }
    tolva_options options;
    tolva_options_init(&options);
    int error = 0;
    tolva_song* song = tolva_open_file(argv[1], &options, &error);
    if (!song) {
        fprintf(stderr, "%s: %s\n", argv[1], tolva_error_text(error));
        return 1;
    }
    FILE* out = fopen(argv[2], "wb");
    if (!out) {
        perror(argv[2]);
        tolva_close(song);
        return 1;
    }
    unsigned char header[44];
    fwrite(header, 1, sizeof header, out); /* rewritten once the size is known */
    int16_t block[2 * 4096];
    uint32_t bytes = 0;
    size_t frames;
    while ((frames = tolva_render_s16(song, block, 4096)) > 0) {
        fwrite(block, 4, frames, out); /* WAV is little-endian, as x86 and ARM are */
        bytes += (uint32_t)frames * 4;
    }
    wav_header(header, options.rate, bytes);
    rewind(out);
    fwrite(header, 1, sizeof header, out);
    tolva_close(song);
    return fclose(out) == 0 ? 0 : 1;
}
