/* libtolva: tracker modules (MOD with 31 or 15 samples, MTM, 669, S3M, XM, IT) decoded to PCM.
 *
 * Open a song from memory or from a file, render interleaved stereo frames from it, close it.
 * Everything else (facts, length, seeking, position, subsongs, controls) is optional.
 *
 * Threading: a song may be used by one thread at a time; different songs may be used by
 * different threads at once, with no lock and no shared state. Functions without a song
 * (tolva_version, tolva_error_text, tolva_probe, tolva_options_init) may be called from any
 * thread at any time.
 *
 * Every function accepts a null song (and null pointers for its outputs) and then fails with
 * TOLVA_E_INVALID or does nothing; closing a song twice is the caller's bug. Texts are UTF-8 and
 * NUL-terminated; those a song returns live until the song is closed. Structs that may grow
 * start with their own size: set it to sizeof the struct (the *_init functions do) so that a
 * newer library knows which fields a caller compiled against.
 *
 * Link with `pkg-config --cflags --libs tolva`, or in CMake find_package(tolva) and
 * target_link_libraries(... tolva::tolva).
 */
#ifndef TOLVA_TOLVA_H
#define TOLVA_TOLVA_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TOLVA_STATIC) || !defined(__GNUC__)
#define TOLVA_API
#else
#define TOLVA_API __attribute__((visibility("default")))
#endif

/* The version of this header; tolva_version() gives the library's. */
#define TOLVA_VERSION_MAJOR 1
#define TOLVA_VERSION_MINOR 0
#define TOLVA_VERSION_PATCH 0

typedef struct tolva_song tolva_song;

/* Error codes: 0 is success, every failure is one of these. */
enum {
    TOLVA_OK = 0,
    TOLVA_E_INVALID = 1,     /* a null pointer, a zero size or a value out of range */
    TOLVA_E_NOT_MODULE = 2,  /* not a module in a supported (and enabled) format */
    TOLVA_E_UNSUPPORTED = 3, /* a supported format, in a version that is not played */
    TOLVA_E_DAMAGED = 4,     /* the format was recognised but the file cannot be loaded */
    TOLVA_E_NO_MEMORY = 5,   /* memory ran short */
    TOLVA_E_UNREADABLE = 6,  /* the file could not be opened or read */
    TOLVA_E_NOT_FOUND = 7    /* no such subsong, order, row, channel or name */
};

/* Formats, as tolva_probe and tolva_song_info name them. */
enum {
    TOLVA_FORMAT_UNKNOWN = 0,
    TOLVA_FORMAT_MOD = 1,  /* ProTracker and compatible, 31 samples */
    TOLVA_FORMAT_669 = 2,  /* Composer 669 and UNIS 669 */
    TOLVA_FORMAT_MTM = 3,  /* MultiTracker */
    TOLVA_FORMAT_S3M = 4,  /* Scream Tracker 3 */
    TOLVA_FORMAT_XM = 5,   /* FastTracker 2 */
    TOLVA_FORMAT_IT = 6,   /* Impulse Tracker */
    TOLVA_FORMAT_MOD15 = 7 /* Ultimate SoundTracker and compatible, 15 samples */
};

/* The bit of each format in tolva_options.formats. */
#define TOLVA_FORMAT_BIT(format) (1u << (format))
#define TOLVA_ALL_FORMATS 0xFEu

/* Resamplers. */
enum {
    TOLVA_INTERPOLATION_NONE = 0,
    TOLVA_INTERPOLATION_LINEAR = 1, /* the default */
    TOLVA_INTERPOLATION_CUBIC = 2,
    TOLVA_INTERPOLATION_SINC = 3
};

/* How the length of a song is found. */
enum {
    /* The song ends where it would jump back to an order it has played (the default). */
    TOLVA_LENGTH_NO_BACKWARD_JUMPS = 0,
    /* Backward jumps are followed; the song ends when it comes back to a position it played. */
    TOLVA_LENGTH_DETECT_LOOP = 1
};

/* Under TOLVA_LENGTH_DETECT_LOOP, what plays after the first pass. */
enum {
    TOLVA_LOOP_ONCE = 0,     /* nothing: one pass */
    TOLVA_LOOP_BY_COUNT = 1, /* loop_count passes in all */
    TOLVA_LOOP_BY_TIME = 2   /* the first pass, then extra_seconds of looping */
};

/* Everything that changes the sound or the length of a song, fixed when it is opened.
 * tolva_options_init fills in the defaults, which are those of `tolva render` with a default
 * settings file. */
typedef struct tolva_options {
    uint32_t size;                /* sizeof(tolva_options) */
    uint32_t rate;                /* frames per second, 5000..96000; 44100 */
    uint32_t formats;             /* TOLVA_FORMAT_BIT of each format to recognise; all */
    uint32_t length_rule;         /* TOLVA_LENGTH_*; TOLVA_LENGTH_NO_BACKWARD_JUMPS */
    uint32_t loop_mode;           /* TOLVA_LOOP_*; TOLVA_LOOP_ONCE */
    uint32_t loop_count;          /* passes for TOLVA_LOOP_BY_COUNT, 1..9999; 1 */
    uint32_t extra_seconds;       /* looping after the first pass for TOLVA_LOOP_BY_TIME; 0 */
    uint32_t remove_silence;      /* 1: skip leading silence, cut trailing silence; 0 */
    uint32_t trailing_silence;    /* seconds of silence kept at the end when removing; 1 */
    uint32_t skip_empty_patterns; /* 1: trailing empty patterns do not count; 0 */
    uint32_t old_protracker;      /* 1: MOD offsets and loops as old ProTracker versions; 0 */
    uint32_t mod_panning;         /* 1: MOD files may set panning (8xx, E8x); 0 */
    int32_t amplification;        /* in hundredths of a decibel, -1500..1500; 0 */
    uint32_t interpolation;       /* TOLVA_INTERPOLATION_*; linear */
    uint32_t stereo_separation;   /* percent, 0 (mono) .. 200; 100 */
    uint32_t reverse_stereo;      /* 1: left and right swapped; 0 */
    uint32_t seed;                /* start of IT instruments' random variation, 0..65535; 0 */
} tolva_options;

/* Facts of a song. */
typedef struct tolva_song_info {
    uint32_t size;           /* sizeof(tolva_song_info) */
    uint32_t format;         /* TOLVA_FORMAT_* */
    const char* format_name; /* "Impulse Tracker", with the tracker that wrote the file if known */
    const char* title;       /* "" when the song has none */
    const char* message;     /* the song message, lines ending in '\n'; "" when none */
    uint32_t channels;
    uint32_t orders;
    uint32_t patterns;      /* patterns that hold data */
    uint32_t samples;       /* counted as tolva_sample_name counts them */
    uint32_t instruments;   /* 0 for formats without instruments */
    uint32_t subsongs;      /* 1 or more */
    uint32_t initial_speed; /* ticks per row */
    uint32_t initial_tempo; /* beats per minute */
} tolva_song_info;

/* Where a song stands. */
typedef struct tolva_position {
    uint32_t size;  /* sizeof(tolva_position) */
    uint64_t frame; /* frames rendered since the start of the current subsong */
    uint32_t order; /* index in the order list */
    uint32_t pattern;
    uint32_t row;
    uint32_t speed;      /* ticks per row */
    uint32_t tempo;      /* beats per minute */
    uint32_t loops_done; /* times the song came back to a position it had played */
    uint32_t subsong;    /* 0 is the main song */
} tolva_position;

/* One subsong: a tune that starts at an order the main song never plays. */
typedef struct tolva_subsong_info {
    uint32_t size;        /* sizeof(tolva_subsong_info) */
    uint32_t start_order; /* index in the order list */
    uint32_t length_ms;   /* under the song's length rules */
    uint64_t length_frames;
} tolva_subsong_info;

/* When tolva_jump_to_order takes effect. */
enum {
    TOLVA_JUMP_NEXT_ROW = 0,   /* after the row being played */
    TOLVA_JUMP_PATTERN_END = 1 /* after the last row of the pattern being played */
};

/* What happens when the song ends (tolva_set_repeat). */
#define TOLVA_REPEAT_FOREVER (-1)

/* ---- Version, errors, probing ---- */

/* (major << 16) | (minor << 8) | patch of the library. */
TOLVA_API uint32_t tolva_version(void);
/* The same as text, "1.0.0". */
TOLVA_API const char* tolva_version_string(void);
/* A short English text for an error code; "unknown error" for a code not listed above. */
TOLVA_API const char* tolva_error_text(int error);

/* The format of a file from its first `size` bytes, without loading it: a TOLVA_FORMAT_*, or
 * TOLVA_FORMAT_UNKNOWN. `file_size` is the whole file's size, 0 when unknown. *confidence
 * (when not null) is how sure the answer is, 0..100: 100 for a signature no other file type
 * has (S3M, XM, IT, MTM, a MOD tag), less for formats that carry only a weak mark (669) or
 * none (15-sample MOD, which needs its first 600 bytes and its pattern data, so give it
 * TOLVA_PROBE_BYTES or the whole file). */
TOLVA_API uint32_t tolva_probe(const void* data, size_t size, uint64_t file_size,
                               uint32_t* confidence);
/* Bytes from the start of a file that suffice for tolva_probe's surest answer. */
#define TOLVA_PROBE_BYTES 66560u

/* ---- Opening, rendering, closing ---- */

/* Fills `options` with the defaults, `size` included. */
TOLVA_API void tolva_options_init(tolva_options* options);

/* Loads a song from `size` bytes at `data` (which may be freed once this returns) under
 * `options` (null: the defaults), and measures its length. Null on failure, with the reason in
 * *error when `error` is not null (TOLVA_OK on success). */
TOLVA_API tolva_song* tolva_open_memory(const void* data, size_t size, const tolva_options* options,
                                        int* error);
/* The same from a file; `path` is UTF-8. */
TOLVA_API tolva_song* tolva_open_file(const char* path, const tolva_options* options, int* error);

/* Render up to `frames` interleaved stereo frames (left, right) into `stereo`, which holds
 * 2 * frames values, and answer how many were written: fewer only at the song's end, 0 after
 * it or on an invalid argument. The two may be called on one song in any mix; the mixer
 * renders pairs of frames, and when a call of one type took half a pair, the other half comes
 * from it converted, to within a 16-bit step. Float samples are full scale at 1.0. */
TOLVA_API size_t tolva_render_s16(tolva_song* song, int16_t* stereo, size_t frames);
TOLVA_API size_t tolva_render_f32(tolva_song* song, float* stereo, size_t frames);

/* Frees the song and everything it returned. */
TOLVA_API void tolva_close(tolva_song* song);

/* ---- Facts ---- */

/* Fills `info` (whose `size` the caller sets). */
TOLVA_API int tolva_song_info_get(const tolva_song* song, tolva_song_info* info);
/* The name of sample `index` (0 .. samples - 1) or instrument `index`; null past the end. */
TOLVA_API const char* tolva_sample_name(const tolva_song* song, uint32_t index);
TOLVA_API const char* tolva_instrument_name(const tolva_song* song, uint32_t index);

/* ---- Length and position ---- */

/* The length of the current subsong under the options' length rules, after any leading silence
 * that was removed; 0 for a null song. */
TOLVA_API uint32_t tolva_length_ms(const tolva_song* song);
TOLVA_API uint64_t tolva_length_frames(const tolva_song* song);

/* Continue from a point of the current subsong: a frame (exact), a time in milliseconds (the
 * frame it falls on), or the first time the song plays a row of an order. TOLVA_E_NOT_FOUND
 * when the song never plays that order and row; seeking past the end leaves the song ended. */
TOLVA_API int tolva_seek_frame(tolva_song* song, uint64_t frame);
TOLVA_API int tolva_seek_ms(tolva_song* song, uint64_t ms);
TOLVA_API int tolva_seek_order(tolva_song* song, uint32_t order, uint32_t row);

/* Fills `position` (whose `size` the caller sets). */
TOLVA_API int tolva_position_get(const tolva_song* song, tolva_position* position);

/* ---- Subsongs ----
 * Game modules often hold several tunes in one order list, reached only by jumps or separated
 * by skip (+++) and end (---) marks. The main song, subsong 0, starts at order 0; the first order
 * that no subsong before has played starts the next one, which plays by the same rules until it
 * ends or reaches an order an earlier subsong plays. An opened song plays subsong 0, and never
 * runs on into another. */

/* How many subsongs the song holds, 1 or more (0 for a null song). */
TOLVA_API uint32_t tolva_subsong_count(const tolva_song* song);
/* Fills `info` (whose `size` the caller sets) for subsong `index`, counted from 0. */
TOLVA_API int tolva_subsong_info_get(const tolva_song* song, uint32_t index,
                                     tolva_subsong_info* info);
/* Makes subsong `index` current and rewinds it to its start; 0 is the main song. Lengths,
 * seeking and positions are then the subsong's; the repeat count and controls stay. */
TOLVA_API int tolva_select_subsong(tolva_song* song, uint32_t index);

/* ---- Controls, which may change between renders ---- */

/* Output gain in hundredths of a decibel, -1500..1500, replacing the options' amplification. */
TOLVA_API int tolva_set_gain(tolva_song* song, int32_t hundredths_db);
/* TOLVA_INTERPOLATION_*. */
TOLVA_API int tolva_set_interpolation(tolva_song* song, uint32_t mode);
/* Percent, 0 (mono) .. 200 (widened); 100 is the song's own stereo image. */
TOLVA_API int tolva_set_stereo_separation(tolva_song* song, uint32_t percent);
/* Silences channel `channel` (0 .. channels - 1) with the notes it started, or (muted 0) lets
 * it sound again. */
TOLVA_API int tolva_set_channel_mute(tolva_song* song, uint32_t channel, int muted);
/* What happens where the song would end: 0 ends it there (the default); n > 0 plays it n + 1
 * times in all, following the jump back that ends a pass or starting again from the top;
 * TOLVA_REPEAT_FOREVER never ends. The length the song reports does not change. */
TOLVA_API int tolva_set_repeat(tolva_song* song, int32_t count);
/* Goes on at row 0 of order `order`, after the current row or at the end of the pattern
 * (`when`: TOLVA_JUMP_*), for music that follows a game. */
TOLVA_API int tolva_jump_to_order(tolva_song* song, uint32_t order, uint32_t when);

#ifdef __cplusplus
}
#endif

#endif
