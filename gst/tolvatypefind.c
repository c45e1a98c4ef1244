#include "tolvatypefind.h"

#include <tolva/tolva.h>

/* GStreamer's names of the formats, indexed by TOLVA_FORMAT_*; 15-sample MODs are MODs. */
static const char* const type_names[] = {NULL, "mod", "669", "mtm", "s3m", "xm", "it", "mod"};

/* The probe's confidence as a typefinding probability. Even a full signature (a MOD tag, "SCRM")
 * sits at an offset where another kind of file could hold the same bytes, and that kind's own
 * typefinder, which reads its magic at the start, answers with more: so at most LIKELY. A weak
 * mark (669) or none (15 samples), which the probe confirmed by loading the file's start, is
 * POSSIBLE, enough to beat the guesses of the video typefinders these files used to fall to; an
 * answer from too short a start is only a last resort. */
static guint probability(guint32 confidence) {
    if (confidence >= 100)
        return GST_TYPE_FIND_LIKELY;
    return confidence >= 50 ? GST_TYPE_FIND_POSSIBLE : GST_TYPE_FIND_MINIMUM;
}

/* The longest start of the stream up to what the probe reads, into *size. */
static const guint8* peek_start(GstTypeFind* find, guint64 length, size_t* size) {
    size_t want = length > 0 && length < TOLVA_PROBE_BYTES ? (size_t)length : TOLVA_PROBE_BYTES;
    for (; want >= 64; want /= 2) {
        const guint8* data = gst_type_find_peek(find, 0, (guint)want);
        if (data) {
            *size = want;
            return data;
        }
    }
    return NULL;
}

static void find_module(GstTypeFind* find, gpointer user_data) {
    (void)user_data;
    const guint64 length = gst_type_find_get_length(find);
    size_t size = 0;
    const guint8* data = peek_start(find, length, &size);
    if (!data)
        return;
    guint32 confidence = 0;
    const guint32 format = tolva_probe(data, size, length, &confidence);
    if (format == TOLVA_FORMAT_UNKNOWN || format >= G_N_ELEMENTS(type_names))
        return;
    gst_type_find_suggest_simple(find, probability(confidence), "audio/x-mod", "type",
                                 G_TYPE_STRING, type_names[format], NULL);
}

gboolean gst_tolva_type_find_register(GstPlugin* plugin) {
    GstCaps* caps = gst_caps_from_string(GST_TOLVA_MODULE_CAPS);
    /* Secondary: where another typefinder answers as surely, its answer stands. */
    const gboolean done =
        gst_type_find_register(plugin, "tolva-module", GST_RANK_SECONDARY, find_module,
                               "mod,nst,stk,mtm,669,s3m,xm,it", caps, NULL, NULL);
    gst_caps_unref(caps);
    return done;
}
