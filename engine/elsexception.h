// The player component's exception: a decoder error code and the message of its row in the
// decoder error table.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

class TElSException : public std::runtime_error {
public:
    explicit TElSException(uint8_t errorCode);

    uint8_t ErrorCode() const { return m_errorCode; }
    QString Message() const { return QString::fromLatin1(what()); }

    // The table's text for a code; codes past the table read "Unknown decoder error".
    static const char *messageFor(int errorCode);

private:
    uint8_t m_errorCode;
};
