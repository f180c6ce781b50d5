#include "tools/sounds/dsp/Signal.h"

void MixInto(Signal& target, const Signal& source, std::size_t offset, float gain)
{
    for (std::size_t i = 0; i < source.size() && offset + i < target.size(); ++i) {
        target[offset + i] += gain * source[i];
    }
}
