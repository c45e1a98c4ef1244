/* A small player on the GStreamer API, as the plug-in's tests drive it:
 *   player URI                           plays to the end; prints the first error on the bus
 *   player URI SECONDS REFERENCE.raw     seeks, pauses and resumes, changes a property
 * REFERENCE is `tolva render --start SECONDS` as 16-bit raw PCM. After a flushing seek to
 * SECONDS the first frame and the second of sound after it, across a pause, are the reference's;
 * stereo-separation set to 0 while playing makes the sides equal for good. */
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define RATE 44100
#define TIMEOUT (5 * GST_SECOND)

static int failures = 0;

static void fail(const char* what) {
    fprintf(stderr, "FAIL: %s\n", what);
    ++failures;
}

/* The next buffer of frames from the sink, its time in *pts; NULL at the end or on a stall. */
static GstBuffer* next_buffer(GstElement* sink, GstClockTime* pts) {
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), TIMEOUT);
    if (!sample)
        return NULL;
    GstBuffer* buffer = gst_buffer_ref(gst_sample_get_buffer(sample));
    gst_sample_unref(sample);
    *pts = GST_BUFFER_PTS(buffer);
    return buffer;
}

static void set_state(GstElement* pipeline, GstState state) {
    if (gst_element_set_state(pipeline, state) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline, NULL, NULL, TIMEOUT) != GST_STATE_CHANGE_SUCCESS)
        fail("state change");
}

/* Whether every frame of a buffer has equal sides. */
static gboolean sides_equal(GstBuffer* buffer) {
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const gint16* pcm = (const gint16*)map.data;
    gboolean equal = TRUE;
    for (gsize i = 0; i + 1 < map.size / 2; i += 2)
        equal = equal && pcm[i] == pcm[i + 1];
    gst_buffer_unmap(buffer, &map);
    return equal;
}

/* Compares a buffer with the reference from frame *done on, and counts its frames in. */
static void compare(GstBuffer* buffer, const gint16* want, gsize want_frames, gsize* done) {
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_READ);
    const gsize frames = map.size / 4;
    if (*done + frames > want_frames || memcmp(map.data, want + 2 * *done, map.size) != 0)
        fail("PCM after the seek differs from the reference");
    *done += frames;
    gst_buffer_unmap(buffer, &map);
}

/* A second of frames after the seek equals the reference, with a pause after the first buffer;
 * answers whether any of it was stereo. */
static gboolean check_seek(GstElement* pipeline, GstElement* sink, double seconds,
                           const gint16* want, gsize want_frames) {
    const GstClockTime at = (GstClockTime)(seconds * GST_SECOND + 0.5);
    if (!gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                 GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE, at))
        fail("seek refused");
    gsize done = 0;
    GstClockTime pts;
    GstBuffer* buffer;
    gboolean stereo = FALSE;
    while (done < RATE && !failures && (buffer = next_buffer(sink, &pts))) {
        if (done == 0 && pts != at)
            fail("the first buffer after the seek is not at the seek's time");
        if (done == 0) {
            set_state(pipeline, GST_STATE_PAUSED);
            set_state(pipeline, GST_STATE_PLAYING);
        }
        compare(buffer, want, want_frames, &done);
        stereo = stereo || !sides_equal(buffer);
        gst_buffer_unref(buffer);
    }
    if (done < RATE)
        fail("the song stopped after the seek");
    return stereo;
}

/* The song, stereo before, turns mono for good after stereo-separation is set to 0, once the
 * buffers it rendered before have passed: playbin queues up to a second of them. */
static void check_property(GstElement* pipeline, GstElement* sink, gboolean was_stereo) {
    GstElement* decoder = gst_bin_get_by_name(GST_BIN(pipeline), "tolvadec0");
    if (!decoder) {
        fail("no tolvadec in the pipeline");
        return;
    }
    if (!was_stereo)
        fail("the song is mono where the property is changed");
    g_object_set(decoder, "stereo-separation", 0u, NULL);
    gst_object_unref(decoder);
    GstClockTime pts;
    GstBuffer* buffer;
    int i = 0, last_stereo = -1;
    for (; i < 80 && (buffer = next_buffer(sink, &pts)); ++i) {
        if (!sides_equal(buffer))
            last_stereo = i;
        gst_buffer_unref(buffer);
    }
    if (i < 80 || last_stereo >= 50)
        fail("stereo-separation 0 set while playing did not make the sound mono");
}

/* Plays the URI through playbin into a fakesink: 0 at its end, 1 on an error on the bus, 124
 * when neither comes within a minute. gst-launch can hang in its own preroll handling after an
 * error was posted, which would blame the decoder for it. */
static int play_to_end(const char* uri) {
    GstElement* pipeline = gst_element_factory_make("playbin", NULL);
    GstElement* sink = gst_element_factory_make("fakesink", NULL);
    g_object_set(pipeline, "uri", uri, "audio-sink", sink, NULL);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message =
        gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND, GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    int status = message ? 0 : 124;
    if (message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = NULL;
        gst_message_parse_error(message, &error, NULL);
        printf("ERROR: %s\n", error->message);
        g_error_free(error);
        status = 1;
    }
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return status;
}

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    if (argc == 2)
        return play_to_end(argv[1]);
    gchar* reference = NULL;
    gsize bytes = 0;
    if (argc != 4 || !g_file_get_contents(argv[3], &reference, &bytes, NULL)) {
        fprintf(stderr, "usage: %s URI [SECONDS REFERENCE.raw]\n", argv[0]);
        return 2;
    }
    GstElement* pipeline = gst_element_factory_make("playbin", NULL);
    GstElement* sink = gst_element_factory_make("appsink", NULL);
    GstCaps* caps = gst_caps_from_string("audio/x-raw, format=S16LE, rate=44100, channels=2");
    g_object_set(sink, "caps", caps, "sync", FALSE, "max-buffers", 2, NULL);
    gst_caps_unref(caps);
    g_object_set(pipeline, "uri", argv[1], "audio-sink", sink, NULL);
    set_state(pipeline, GST_STATE_PLAYING);
    GstClockTime pts;
    GstBuffer* first = next_buffer(sink, &pts);
    if (!first)
        fail("no sound before the seek");
    else
        gst_buffer_unref(first);
    gboolean stereo = FALSE;
    if (!failures)
        stereo = check_seek(pipeline, sink, atof(argv[2]), (const gint16*)reference, bytes / 4);
    if (!failures)
        check_property(pipeline, sink, stereo);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    g_free(reference);
    printf("%d failed\n", failures);
    return failures ? 1 : 0;
}
