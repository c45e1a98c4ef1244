/* tolvadec: tracker modules decoded by libtolva, as a GStreamer audio decoder.
 *
 * Built on GstNonstreamAudioDecoder (plugins-bad): it is made for decoders that need the whole
 * file before the first sample, and it already does what such a decoder needs around the
 * decoding itself (collecting the file in push and pull mode, seeking, segments, duration and
 * position queries, subsongs as a TOC with a current-subsong property, loop counts). Its API is
 * marked unstable, but it has not changed since GStreamer 1.12 and the module decoders GStreamer
 * ships use it too; a plain GstAudioDecoder would need all of that written again here. */
#ifndef GST_TOLVA_DEC_H
#define GST_TOLVA_DEC_H

#define GST_USE_UNSTABLE_API
#include <gst/audio/gstnonstreamaudiodecoder.h>
#include <tolva/tolva.h>

G_BEGIN_DECLS

/* The base class's header gives no automatic cleanup, which the type macros below expect. */
G_DEFINE_AUTOPTR_CLEANUP_FUNC(GstNonstreamAudioDecoder, gst_object_unref)

#define GST_TYPE_TOLVA_DEC (gst_tolva_dec_get_type())
G_DECLARE_FINAL_TYPE(GstTolvaDec, gst_tolva_dec, GST, TOLVA_DEC, GstNonstreamAudioDecoder)

struct _GstTolvaDec {
    GstNonstreamAudioDecoder parent;
    GstBuffer* file; /* the whole module, kept to open it again at another rate */
    tolva_song* song;
    GstAudioFormat format; /* S16LE or F32LE */
    guint rate;
    guint subsong;
    gint num_loops;
    /* Controls, applied to the song whenever they change. */
    guint interpolation;
    guint stereo_separation;
    gdouble gain_db;
};

#define GST_TOLVA_SRC_CAPS                                                                         \
    "audio/x-raw, format = (string) { S16LE, F32LE }, layout = (string) interleaved, "             \
    "rate = (int) [ 5000, 96000 ], channels = (int) 2"

/* Opens the kept file at `rate` and brings the song to where the old one stood (or to the
 * start), with the controls applied; FALSE with the library's error code in *error. */
gboolean gst_tolva_dec_open(GstTolvaDec* self, guint rate, int* error);
/* Hands the controls (interpolation, separation, gain, loops) to the song. */
void gst_tolva_dec_apply_controls(GstTolvaDec* self);
/* The rate and sample format to render: what downstream asks for, S16LE at 44100 Hz when it
 * takes anything. */
void gst_tolva_dec_choose_output(GstTolvaDec* self, guint* rate, GstAudioFormat* format);

/* The parts of the class, each set up by its own file. */
void gst_tolva_dec_class_init_loading(GstNonstreamAudioDecoderClass* klass);
void gst_tolva_dec_class_init_playing(GstNonstreamAudioDecoderClass* klass);
void gst_tolva_dec_class_init_tags(GstNonstreamAudioDecoderClass* klass);
void gst_tolva_dec_class_init_properties(GObjectClass* klass);

G_END_DECLS

#endif
