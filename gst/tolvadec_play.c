/* Playing: rendering, seeking, subsongs and loops. */
#include "tolvadec.h"

/* Frames per output buffer: 46 ms at 44.1 kHz, short enough for a volume or gain change to be
 * heard at once. */
#define FRAMES_PER_BUFFER 2048

static GstClockTime frames_to_time(const GstTolvaDec* self, guint64 frames) {
    /* Rounded up, so that the time turns back into the same frame. */
    return gst_util_uint64_scale_int_ceil(frames, GST_SECOND, self->rate);
}

static gboolean decode(GstNonstreamAudioDecoder* dec, GstBuffer** buffer, guint* num_samples) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    const gboolean is_float = self->format == GST_AUDIO_FORMAT_F32LE;
    const gsize frame_bytes = is_float ? 2 * sizeof(float) : 2 * sizeof(int16_t);
    GstBuffer* out =
        gst_nonstream_audio_decoder_allocate_output_buffer(dec, FRAMES_PER_BUFFER * frame_bytes);
    GstMapInfo map;
    if (!out || !gst_buffer_map(out, &map, GST_MAP_WRITE)) {
        gst_clear_buffer(&out);
        return FALSE;
    }
    const size_t frames = is_float
                              ? tolva_render_f32(self->song, (float*)map.data, FRAMES_PER_BUFFER)
                              : tolva_render_s16(self->song, (int16_t*)map.data, FRAMES_PER_BUFFER);
    gst_buffer_unmap(out, &map);
    if (frames == 0) {
        gst_buffer_unref(out);
        return FALSE;
    }
    gst_buffer_set_size(out, frames * frame_bytes);
    *buffer = out;
    *num_samples = (guint)frames;
    return TRUE;
}

/* To the frame the time falls on; the position then is that frame's time. */
static gboolean seek(GstNonstreamAudioDecoder* dec, GstClockTime* new_position) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    const guint64 frame = gst_util_uint64_scale_int(*new_position, self->rate, GST_SECOND);
    if (tolva_seek_frame(self->song, frame) != TOLVA_OK)
        return FALSE;
    *new_position = frames_to_time(self, frame);
    return TRUE;
}

static GstClockTime tell(GstNonstreamAudioDecoder* dec) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    tolva_position position = {.size = sizeof position};
    if (tolva_position_get(self->song, &position) != TOLVA_OK)
        return GST_CLOCK_TIME_NONE;
    return frames_to_time(self, position.frame);
}

static guint get_num_subsongs(GstNonstreamAudioDecoder* dec) {
    return tolva_subsong_count(GST_TOLVA_DEC(dec)->song);
}

static guint get_current_subsong(GstNonstreamAudioDecoder* dec) {
    return GST_TOLVA_DEC(dec)->subsong;
}

static gboolean set_current_subsong(GstNonstreamAudioDecoder* dec, guint subsong,
                                    GstClockTime* initial_position) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    if (tolva_select_subsong(self->song, subsong) != TOLVA_OK)
        return FALSE;
    self->subsong = subsong;
    *initial_position = 0;
    return TRUE;
}

static GstClockTime get_subsong_duration(GstNonstreamAudioDecoder* dec, guint subsong) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    tolva_subsong_info info = {.size = sizeof info};
    if (tolva_subsong_info_get(self->song, subsong, &info) != TOLVA_OK)
        return GST_CLOCK_TIME_NONE;
    return frames_to_time(self, info.length_frames);
}

/* The library plays a song n + 1 times for a repeat count of n, as the base class counts its
 * loops; -1 is for ever in both. */
static gboolean set_num_loops(GstNonstreamAudioDecoder* dec, gint num_loops) {
    GstTolvaDec* self = GST_TOLVA_DEC(dec);
    self->num_loops = num_loops;
    return !self->song || tolva_set_repeat(self->song, num_loops) == TOLVA_OK;
}

static gint get_num_loops(GstNonstreamAudioDecoder* dec) {
    return GST_TOLVA_DEC(dec)->num_loops;
}

/* A repeated song goes on in time: its position never jumps back. */
static guint get_supported_output_modes(GstNonstreamAudioDecoder* dec) {
    (void)dec;
    return 1u << GST_NONSTREAM_AUDIO_OUTPUT_MODE_STEADY;
}

void gst_tolva_dec_class_init_playing(GstNonstreamAudioDecoderClass* klass) {
    klass->decode = decode;
    klass->seek = seek;
    klass->tell = tell;
    klass->get_num_subsongs = get_num_subsongs;
    klass->get_current_subsong = get_current_subsong;
    klass->set_current_subsong = set_current_subsong;
    klass->get_subsong_duration = get_subsong_duration;
    klass->set_num_loops = set_num_loops;
    klass->get_num_loops = get_num_loops;
    klass->get_supported_output_modes = get_supported_output_modes;
}
