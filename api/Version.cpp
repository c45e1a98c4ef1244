#include "tolva/tolva.h"

extern "C" {

uint32_t tolva_version(void) {
    return TOLVA_LIBRARY_VERSION_NUMBER;
}

const char* tolva_version_string(void) {
    return TOLVA_LIBRARY_VERSION;
}

const char* tolva_error_text(int error) {
    switch (error) {
    case TOLVA_OK:
        return "no error";
    case TOLVA_E_INVALID:
        return "invalid argument";
    case TOLVA_E_NOT_MODULE:
        return "not a module in a supported format";
    case TOLVA_E_UNSUPPORTED:
        return "unsupported version of its module format";
    case TOLVA_E_DAMAGED:
        return "damaged or unsupported file";
    case TOLVA_E_NO_MEMORY:
        return "out of memory";
    case TOLVA_E_UNREADABLE:
        return "cannot read file";
    case TOLVA_E_NOT_FOUND:
        return "no such subsong, position, channel or name";
    default:
        return "unknown error";
    }
}

} // extern "C"
