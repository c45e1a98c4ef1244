/* An outside program: renders every song given into SONG's name + ".raw" (16-bit stereo PCM at
 * the default options), each song on its own thread, all at once. */
#include <tolva/tolva.h>

#include <pthread.h>
#include <stdio.h>
#include <string.h>

struct job {
    const char* song;
    const char* folder;
    int failed;
};

static void* render(void* arg) {
    struct job* job = arg;
    int error = 0;
    tolva_song* song = tolva_open_file(job->song, NULL, &error);
    char name[4096];
    const char* base = strrchr(job->song, '/');
    snprintf(name, sizeof name, "%s/%s.raw", job->folder, base ? base + 1 : job->song);
    FILE* out = song ? fopen(name, "wb") : NULL;
    job->failed = !out;
    if (!out)
        fprintf(stderr, "%s: %s\n", job->song, song ? "cannot write" : tolva_error_text(error));
    /* An odd block size on purpose: the library hands out frames one by one if asked. */
    int16_t block[2 * 1001];
    size_t frames;
    while (out && (frames = tolva_render_s16(song, block, 1001)) > 0)
        fwrite(block, 4, frames, out);
    if (out)
        fclose(out);
    tolva_close(song);
    return NULL;
}

int main(int argc, char** argv) {
    enum { MaxSongs = 16 };
    if (argc < 3 || argc - 2 > MaxSongs) {
        fprintf(stderr, "usage: %s FOLDER SONG...\n", argv[0]);
        return 2;
    }
    pthread_t threads[MaxSongs];
    struct job jobs[MaxSongs];
    int count = argc - 2, failed = 0;
    for (int i = 0; i < count; ++i) {
        jobs[i] = (struct job){argv[i + 2], argv[1], 0};
        pthread_create(&threads[i], NULL, render, &jobs[i]);
    }
    for (int i = 0; i < count; ++i) {
        pthread_join(threads[i], NULL);
        failed |= jobs[i].failed;
    }
    return failed;
}
