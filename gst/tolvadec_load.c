/* Loading: the whole file opened by the library, at the rate and in the sample format
 * downstream asks for, and opened again when downstream later asks for another rate. */
#include "tolvadec.h"

/* Where the file cannot be played, the element says why in the library's words. */
static void post_load_error(GstTolvaDec* self, int error) {
    GstNonstreamAudioDecoder* dec = GST_NONSTREAM_AUDIO_DECODER(self);
    /* Posting with the decoder's lock held could deadlock an application that handles the
     * message at once. */
    GST_NONSTREAM_AUDIO_DECODER_UNLOCK_MUTEX(dec);
    if (error == TOLVA_E_NOT_MODULE || error == TOLVA_E_UNSUPPORTED)
        GST_ELEMENT_ERROR(self, STREAM, WRONG_TYPE,
                          ("Cannot play this module: %s.", tolva_error_text(error)), (NULL));
    else
        GST_ELEMENT_ERROR(self, STREAM, DECODE,
                          ("Cannot play this module: %s.", tolva_error_text(error)), (NULL));
    GST_NONSTREAM_AUDIO_DECODER_LOCK_MUTEX(dec);
}

gboolean gst_tolva_dec_open(GstTolvaDec* self, guint rate, int* error) {
    tolva_options options;
    tolva_options_init(&options);
    options.rate = rate;
    GstMapInfo map;
    if (!gst_buffer_map(self->file, &map, GST_MAP_READ)) {
        *error = TOLVA_E_UNREADABLE;
        return FALSE;
    }
    tolva_song* song = tolva_open_memory(map.data, map.size, &options, error);
    gst_buffer_unmap(self->file, &map);
    if (!song)
        return FALSE;
    guint64 frame = 0;
    if (self->song) {
        tolva_position position = {.size = sizeof position};
        tolva_position_get(self->song, &position);
        frame = gst_util_uint64_scale_int(position.frame, rate, self->rate);
        tolva_close(self->song);
    }
    self->song = song;
    self->rate = rate;
    if (tolva_select_subsong(song, self->subsong) != TOLVA_OK)
        self->subsong = 0;
    tolva_seek_frame(song, frame);
    gst_tolva_dec_apply_controls(self);
    return TRUE;
}

void gst_tolva_dec_choose_output(GstTolvaDec* self, guint* rate, GstAudioFormat* format) {
    GstPad* pad = GST_NONSTREAM_AUDIO_DECODER_SRC_PAD(self);
    GstCaps* template_caps = gst_pad_get_pad_template_caps(pad);
    GstCaps* peer = gst_pad_peer_query_caps(pad, NULL);
    /* In downstream's order, so that its first choice is ours. */
    GstCaps* caps = gst_caps_intersect_full(peer, template_caps, GST_CAPS_INTERSECT_FIRST);
    *rate = 44100;
    *format = GST_AUDIO_FORMAT_S16LE;
    if (!gst_caps_is_empty(caps)) {
        GstStructure* s = gst_structure_copy(gst_caps_get_structure(caps, 0));
        gint fixed_rate = 44100;
        gst_structure_fixate_field_nearest_int(s, "rate", 44100);
        gst_structure_fixate_field_string(s, "format", "S16LE");
        gst_structure_get_int(s, "rate", &fixed_rate);
        *rate = (guint)fixed_rate;
        *format = gst_audio_format_from_string(gst_structure_get_string(s, "format"));
        gst_structure_free(s);
    }
    gst_caps_unref(caps);
    gst_caps_unref(peer);
    gst_caps_unref(template_caps);
}

static gboolean set_output(GstTolvaDec* self) {
    GstNonstreamAudioDecoder* dec = GST_NONSTREAM_AUDIO_DECODER(self);
    GstAudioInfo info;
    gst_audio_info_set_format(&info, self->format, self->rate, 2, NULL);
    if (gst_audio_info_is_equal(&info, &dec->output_audio_info))
        return TRUE;
    return gst_nonstream_audio_decoder_set_output_format(dec, &info);
}

static gboolean load_from_buffer(GstNonstreamAudioDecoder* dec, GstBuffer* source_data,
                                 guint initial_subsong, GstNonstreamAudioSubsongMode subsong_mode,
                                 GstClockTime* initial_position,
                                 GstNonstreamAudioOutputMode* initial_output_mode,
                                 gint* initial_num_loops) {
    (void)subsong_mode;
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    gst_buffer_replace(&self->file, source_data);
    /* A new stream starts afresh, not where the last one stood. */
    g_clear_pointer(&self->song, tolva_close);
    self->subsong = initial_subsong;
    self->num_loops = *initial_num_loops;
    *initial_output_mode = GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
    guint rate;
    gst_tolva_dec_choose_output(self, &rate, &self->format);
    int error = TOLVA_OK;
    if (!gst_tolva_dec_open(self, rate, &error)) {
        post_load_error(self, error);
        return FALSE;
    }
    if (GST_CLOCK_TIME_IS_VALID(*initial_position) && *initial_position > 0) {
        tolva_seek_frame(self->song,
                         gst_util_uint64_scale_int(*initial_position, rate, GST_SECOND));
    }
    return set_output(self);
}

/* Downstream may be linked, or changed, after loading: render what it asks for from then on. */
static gboolean negotiate(GstNonstreamAudioDecoder* dec) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    guint rate;
    GstAudioFormat format;
    gst_tolva_dec_choose_output(self, &rate, &format);
    int error = TOLVA_OK;
    if (self->song && rate != self->rate && !gst_tolva_dec_open(self, rate, &error))
        GST_WARNING_OBJECT(self, "staying at %u Hz: %s", self->rate, tolva_error_text(error));
    self->format = format;
    if (!set_output(self))
        return FALSE;
    GstNonstreamAudioDecoderClass* base = g_type_class_peek(GST_TYPE_NONSTREAM_AUDIO_DECODER);
    return base->negotiate(dec);
}

void gst_tolva_dec_class_init_loading(GstNonstreamAudioDecoderClass* klass) {
    klass->load_from_buffer = load_from_buffer;
    klass->negotiate = negotiate;
}
