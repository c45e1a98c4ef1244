#include "settings/FormatEnables.h"

#include "song/FormatRegistry.h"

namespace tolva {

void applyFormatEnables(const Settings& settings) {
    for (uint32_t i = 0; i < FormatHandlerCount; ++i)
        if (FormatHandler* handler = formatHandler(i))
            handler->setEnabled(settings.formatEnable(i) != 0);
}

} // namespace tolva
