// The debug trace: short lines for the debugger output channel. The model
// writes through a sink that the platform installs (OutputDebugStringW on
// Windows); without one the lines go nowhere. Tests install their own sink.
#pragma once

#include <string_view>

namespace vantrel {

using TraceSink = void (*)(std::u16string_view line);
void SetTraceSink(TraceSink sink);  // nullptr: discard
void Trace(std::u16string_view line);

}  // namespace vantrel
