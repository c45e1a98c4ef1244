/* A typefinder for the modules libtolva plays, by the library's own probe. */
#ifndef GST_TOLVA_TYPE_FIND_H
#define GST_TOLVA_TYPE_FIND_H

#include <gst/gst.h>

/* The module types, as GStreamer's typefinders name them: what this one finds and what the
 * element takes. */
#define GST_TOLVA_MODULE_CAPS "audio/x-mod, type = (string) { mod, mtm, 669, s3m, xm, it }"

gboolean gst_tolva_type_find_register(GstPlugin* plugin);

#endif
