#include "elsexception.h"

#include <iterator>

namespace {

const char *const DecoderErrorMessages[] = {
    "No error",
    "Requested operation is not implemented in the decoder",
    "Incorrect decoder mode",
    "Internal decoder error",
    "Invalid object handle passed to decoder",
    "Input stream failure",
    "Output device failure",
    "Not enough memory to perform an operation",
    "Decoder failed to allocate resources",
    "One of callback functions needed to perform an operation not defined",
    "Failed to load or initialize decoder module",
    "Module not initialized",
};

} // namespace

const char *TElSException::messageFor(int errorCode)
{
    if (errorCode < 0 || errorCode >= int(std::size(DecoderErrorMessages)))
        return "Unknown decoder error";
    return DecoderErrorMessages[errorCode];
}

TElSException::TElSException(uint8_t errorCode)
    : std::runtime_error(messageFor(errorCode)), m_errorCode(errorCode)
{
}
