#pragma once

namespace tolva::host {

// The mixing loops need SSE2; the processor must report both SSE and SSE2.
bool processorHasSse2();

} // namespace tolva::host
