#include "formats/it/ItCreatorText.h"

#include <cstdio>

namespace tolva {

namespace {

bool isLeapYear(int year) {
    return year % 4 == 0;
}

int daysIn(int month, int year) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

void itCreatorText(uint16_t w, char* out, std::size_t size) {
    if (size == 0)
        return;
    out[0] = 0;
    int high = static_cast<int8_t>(w >> 8);
    int low = w & 0xFF;
    int d1 = low >> 4;
    int d2 = low & 15;
    int tracker = high >> 4; // arithmetic: negative high bytes match no tracker
    if (tracker == 0) {
        const char* suffix = high == 2 && low > 0x16 ? " (ModPlug)" : high > 2 ? " (?\?)" : "";
        std::snprintf(out, size, " %d.%d%d%s", high, d1, d2, suffix);
    } else if (tracker == 1 && (w & 0xFFF) <= 0x50) {
        std::snprintf(out, size, " (Schism Tracker %d.%d%d)", high & 15, d1, d2);
    } else if (tracker == 1) {
        // Later Schism Tracker versions count days from its 2009-10-31 release.
        int days = (w & 0xFFF) - 0x50;
        int year = 2009;
        int month = 11;
        while (days > daysIn(month, year)) {
            days -= daysIn(month, year);
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        std::snprintf(out, size, " (Schism Tracker %d-%d-%d)", year, month, days);
    } else if (tracker == 5) {
        std::snprintf(out, size, " (OpenMPT %d.%d%d)", high & 15, d1, d2);
    }
}

} // namespace tolva
