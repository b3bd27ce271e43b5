// What a later copy of the program asks of the running one, and its form on the local socket.
//
// A message is a header of 9 bytes followed by its payload:
//   "NORL"     magic
//   1 byte     version (1 or 2)
//   4 bytes    payload length, big-endian, at most MaxPayloadBytes
//   payload    UTF-8 fields, each ended by a NUL byte: the request's name, in version 2 the
//              sender's activation token, then for "open" its absolute paths in order (a path
//              never holds a NUL byte)
// A request without a token goes as version 1, which every copy of the program reads.
// Anything else is refused, whole: the reader never acts on part of a message.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

struct InstanceRequest {
    enum Kind { Activate, Open, PlayPause, Next, Previous, Stop };
    Kind kind = Activate;
    QStringList paths; // Open: the songs to add, the first to play

    bool operator==(const InstanceRequest &) const = default;
};

namespace InstanceMessage {

constexpr qint64 HeaderBytes = 9;
// Room for thousands of paths, small enough to hold in memory for a few connections.
constexpr qint64 MaxPayloadBytes = 1024 * 1024;

// The message for `request`, with the token that lets the running copy take the focus on Wayland
// (xdg-activation) when there is one; nullopt when it would exceed the limit.
std::optional<QByteArray> encode(const InstanceRequest &request,
                                 const QString &activationToken = QString());

// Reads one message as its bytes arrive, taking no more than the message holds.
class Reader {
public:
    enum State { Incomplete, Complete, Invalid };

    // How many bytes to give next: the rest of the header, then the rest of the payload.
    qint64 wanted() const;
    // Takes bytes (at most wanted()); what comes after the message is left to the caller.
    State add(QByteArrayView bytes);

    State state() const { return m_state; }
    bool nothingRead() const { return m_state == Incomplete && m_bytes.isEmpty(); }
    // The request once Complete; why it was refused once Invalid.
    const InstanceRequest &request() const { return m_request; }
    const QString &activationToken() const { return m_activationToken; }
    const QString &error() const { return m_error; }

private:
    State fail(const QString &why);
    State readHeader();
    State readPayload();

    QByteArray m_bytes;
    qint64 m_payloadBytes = -1; // unknown until the header is read
    quint8 m_version = 0;
    State m_state = Incomplete;
    InstanceRequest m_request;
    QString m_activationToken;
    QString m_error;
};

} // namespace InstanceMessage
