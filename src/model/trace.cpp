#include "model/trace.h"

namespace vantrel {
namespace {
TraceSink g_sink = nullptr;
}

void SetTraceSink(TraceSink sink) { g_sink = sink; }

void Trace(std::u16string_view line) {
  if (g_sink) g_sink(line);
}

}  // namespace vantrel
