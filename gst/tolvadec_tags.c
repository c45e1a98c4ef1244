/* Tags: the title, the song message as a comment, the format as the codec, and the sample and
 * instrument names, for which GStreamer has no tag of their own, as extended comments
 * ("sample-3=bass drum"), the tag for named texts that have no other place. */
#include "tolvadec.h"

static void add_names(GstTagList* tags, const char* key, const tolva_song* song, guint count,
                      const char* (*name_of)(const tolva_song*, uint32_t)) {
    for (guint i = 0; i < count; ++i) {
        const char* name = name_of(song, i);
        if (!name || !*name)
            continue;
        gchar* text = g_strdup_printf("%s-%u=%s", key, i + 1, name);
        gst_tag_list_add(tags, GST_TAG_MERGE_APPEND, GST_TAG_EXTENDED_COMMENT, text, NULL);
        g_free(text);
    }
}

static GstTagList* get_main_tags(GstNonstreamAudioDecoder* dec) {
    const tolva_song* song = GST_TOLVA_DEC(dec)->song;
    tolva_song_info info = {.size = sizeof info};
    if (tolva_song_info_get(song, &info) != TOLVA_OK)
        return NULL;
    GstTagList* tags = gst_tag_list_new_empty();
    if (*info.title)
        gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_TITLE, info.title, NULL);
    if (*info.message)
        gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_COMMENT, info.message, NULL);
    gst_tag_list_add(tags, GST_TAG_MERGE_REPLACE, GST_TAG_AUDIO_CODEC, info.format_name, NULL);
    add_names(tags, "sample", song, info.samples, tolva_sample_name);
    add_names(tags, "instrument", song, info.instruments, tolva_instrument_name);
    return tags;
}

/* A subsong's entry in the table of contents: its number, where there is more than one. The
 * base class sends the song's tags only with a subsong's, so there is always a list. */
static GstTagList* get_subsong_tags(GstNonstreamAudioDecoder* dec, guint subsong) {
    if (tolva_subsong_count(GST_TOLVA_DEC(dec)->song) < 2)
        return gst_tag_list_new_empty();
    return gst_tag_list_new(GST_TAG_TRACK_NUMBER, subsong + 1, NULL);
}

void gst_tolva_dec_class_init_tags(GstNonstreamAudioDecoderClass* klass) {
    klass->get_main_tags = get_main_tags;
    klass->get_subsong_tags = get_subsong_tags;
}
