/* The controls a player may change while the song plays. The base class adds current-subsong,
 * subsong-mode, num-loops (the repeat count) and output-mode. */
#include "tolvadec.h"

#include <math.h>

enum { PROP_0, PROP_INTERPOLATION, PROP_STEREO_SEPARATION, PROP_GAIN };

#define MAX_GAIN_DB 15.0

static GType interpolation_type(void) {
    static GType type = 0;
    static const GEnumValue values[] = {
        {TOLVA_INTERPOLATION_NONE, "Nearest sample", "none"},
        {TOLVA_INTERPOLATION_LINEAR, "Linear interpolation", "linear"},
        {TOLVA_INTERPOLATION_CUBIC, "Cubic interpolation", "cubic"},
        {TOLVA_INTERPOLATION_SINC, "Windowed sinc, band-limited", "sinc"},
        {0, NULL, NULL}};
    if (g_once_init_enter(&type))
        g_once_init_leave(&type, g_enum_register_static("GstTolvaInterpolation", values));
    return type;
}

void gst_tolva_dec_apply_controls(GstTolvaDec* self) {
    tolva_set_interpolation(self->song, self->interpolation);
    tolva_set_stereo_separation(self->song, self->stereo_separation);
    tolva_set_gain(self->song, (int32_t)lround(self->gain_db * 100.0));
    tolva_set_repeat(self->song, self->num_loops);
}

static void set_property(GObject* object, guint id, const GValue* value, GParamSpec* property) {
    GstTolvaDec* self = GST_TOLVA_DEC(object);
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(self);
    switch (id) {
    case PROP_INTERPOLATION:
        self->interpolation = (guint)g_value_get_enum(value);
        break;
    case PROP_STEREO_SEPARATION:
        self->stereo_separation = g_value_get_uint(value);
        break;
    case PROP_GAIN:
        self->gain_db = g_value_get_double(value);
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
    }
    if (self->song)
        gst_tolva_dec_apply_controls(self);
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(self);
}

static void get_property(GObject* object, guint id, GValue* value, GParamSpec* property) {
    GstTolvaDec* self = GST_TOLVA_DEC(object);
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(self);
    switch (id) {
    case PROP_INTERPOLATION:
        g_value_set_enum(value, (gint)self->interpolation);
        break;
    case PROP_STEREO_SEPARATION:
        g_value_set_uint(value, self->stereo_separation);
        break;
    case PROP_GAIN:
        g_value_set_double(value, self->gain_db);
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
    }
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(self);
}

void gst_tolva_dec_class_init_properties(GObjectClass* klass) {
    const GParamFlags flags =
        G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING;
    klass->set_property = set_property;
    klass->get_property = get_property;
    g_object_class_install_property(
        klass, PROP_INTERPOLATION,
        g_param_spec_enum("interpolation", "Interpolation", "How samples are resampled",
                          interpolation_type(), TOLVA_INTERPOLATION_LINEAR, flags));
    g_object_class_install_property(
        klass, PROP_STEREO_SEPARATION,
        g_param_spec_uint("stereo-separation", "Stereo separation",
                          "Width of the stereo image in percent: 0 is mono, 100 as the song "
                          "pans, 200 twice as wide",
                          0, 200, 100, flags));
    g_object_class_install_property(klass, PROP_GAIN,
                                    g_param_spec_double("gain", "Gain", "Output gain in decibels",
                                                        -MAX_GAIN_DB, MAX_GAIN_DB, 0.0, flags));
    gst_type_mark_as_plugin_api(interpolation_type(), 0);
}
