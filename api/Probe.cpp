#include "api/SongHandle.h"

#include "formats/FormatRegistry.h"
#include "song/ViewStream.h"

extern "C" uint32_t tolva_probe(const void* data, size_t size, uint64_t file_size,
                                uint32_t* confidence) {
    tolva::Probe probe;
    if (data && size > 0) {
        tolva::ViewStream stream(data, size);
        probe = tolva::probeFormat(stream, file_size != 0 && file_size <= size);
    }
    if (confidence)
        *confidence = probe.confidence;
    return probe.format < tolva::FormatCount ? probe.format + 1 : uint32_t{TOLVA_FORMAT_UNKNOWN};
}
