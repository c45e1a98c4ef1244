/* The tolva plug-in: the tolvadec element and the module typefinder. The project states no
 * licence, so it declares none GStreamer would read as granting one. */
#include "tolvadec.h"
#include "tolvatypefind.h"

/* Above the module decoders GStreamer ships (modplug at primary, openmptdec at primary + 2), so
 * that playbin and decodebin pick this one; GST_PLUGIN_FEATURE_RANK=tolvadec:none undoes it. */
#define TOLVA_DEC_RANK (GST_RANK_PRIMARY + 10)

static gboolean plugin_init(GstPlugin* plugin) {
    return gst_element_register(plugin, "tolvadec", TOLVA_DEC_RANK, GST_TYPE_TOLVA_DEC) &&
           gst_tolva_type_find_register(plugin);
}

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tolva,
                  "Tracker modules (MOD, MTM, 669, S3M, XM, IT) decoded by libtolva", plugin_init,
                  TOLVA_PLUGIN_VERSION, "Proprietary", "tolva", "Unknown package origin")
