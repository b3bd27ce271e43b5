// Failures inside the library travel as DecoderError until the entry point that caught them
// records the code on its handle.
#pragma once

#include <stdexcept>

#include "norlplay.h"

namespace norl {

class DecoderError : public std::runtime_error {
public:
    DecoderError(int code, const std::string &what) : std::runtime_error(what), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

[[noreturn]] inline void fail(int code, const std::string &what)
{
    throw DecoderError(code, what);
}

} // namespace norl
