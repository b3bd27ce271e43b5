#include "output.h"

namespace norl {

bool isSoundServerMode(int mode)
{
    return mode == omMMSystem || mode == omDirectSound;
}

std::unique_ptr<Output> makeOutput(const OutputSettings &settings, const PcmFormat &format,
                                   PulseContext *server)
{
    switch (settings.mode) {
    case omFile:
        return makeWavOutput(settings.fileName, format);
    case omCallback:
        return makeCallbackOutput(settings.callbacks, format);
    default:
        return makePulseOutput(*server, settings, format);
    }
}

} // namespace norl
