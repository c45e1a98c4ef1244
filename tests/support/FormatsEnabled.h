#pragma once
#include "song/FormatRegistry.h"

namespace tolva::test {

// Every format handler switched on for the life of a test, and again afterwards, as the
// plug-in does at start.
class FormatsEnabled {
public:
    FormatsEnabled() { enableAllFormats(); }
    ~FormatsEnabled() { enableAllFormats(); }
    FormatsEnabled(const FormatsEnabled&) = delete;
    FormatsEnabled& operator=(const FormatsEnabled&) = delete;
};

} // namespace tolva::test
