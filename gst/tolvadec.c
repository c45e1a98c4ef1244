/* The element's type: pads, description, life cycle. */
#include "tolvadec.h"
#include "tolvatypefind.h"

G_DEFINE_TYPE(GstTolvaDec, gst_tolva_dec, GST_TYPE_NONSTREAM_AUDIO_DECODER)

static GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE(GST_NONSTREAM_AUDIO_DECODER_SINK_NAME, GST_PAD_SINK, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS(GST_TOLVA_MODULE_CAPS));
static GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE(GST_NONSTREAM_AUDIO_DECODER_SRC_NAME, GST_PAD_SRC, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS(GST_TOLVA_SRC_CAPS));

static void gst_tolva_dec_finalize(GObject* object) {
    GstTolvaDec* self = GST_TOLVA_DEC(object);
    tolva_close(self->song);
    gst_clear_buffer(&self->file);
    G_OBJECT_CLASS(gst_tolva_dec_parent_class)->finalize(object);
}

static void gst_tolva_dec_class_init(GstTolvaDecClass* klass) {
    GObjectClass* object_class = G_OBJECT_CLASS(klass);
    GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
    GstNonstreamAudioDecoderClass* decoder_class = GST_NONSTREAM_AUDIO_DECODER_CLASS(klass);

    object_class->finalize = gst_tolva_dec_finalize;
    gst_tolva_dec_class_init_properties(object_class);
    gst_tolva_dec_class_init_loading(decoder_class);
    gst_tolva_dec_class_init_playing(decoder_class);
    gst_tolva_dec_class_init_tags(decoder_class);

    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(
        element_class, "TOLVA module decoder", "Codec/Decoder/Audio",
        "Plays tracker modules (MOD with 31 or 15 samples, MTM, 669, S3M, XM, IT) through libtolva",
        "TOLVA developers <tolva@localhost>");
}

static void gst_tolva_dec_init(GstTolvaDec* self) {
    self->format = GST_AUDIO_FORMAT_S16LE;
    self->rate = 44100;
    self->interpolation = TOLVA_INTERPOLATION_LINEAR;
    self->stereo_separation = 100;
}
