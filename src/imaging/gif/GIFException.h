#pragma once
// The error class of the GIF unit: decoding and encoding faults that cannot be passed over (a
// broken code table, a pixel outside the colour table).

#include "imaging/core/Exceptions.h"

namespace kestrel {

KESTREL_EXCEPTION_CLASS(GIFException, EInvalidGraphic)

} // namespace kestrel
