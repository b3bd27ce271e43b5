#include "instancemessage.h"

#include <QStringDecoder>
#include <QtEndian>
#include <array>

namespace InstanceMessage {

namespace {

constexpr char Magic[] = {'N', 'O', 'R', 'L'};
constexpr quint8 PlainVersion = 1;
constexpr quint8 TokenVersion = 2;

constexpr std::array<std::pair<InstanceRequest::Kind, const char *>, 6> KindNames{{
    {InstanceRequest::Activate, "activate"},
    {InstanceRequest::Open, "open"},
    {InstanceRequest::PlayPause, "play-pause"},
    {InstanceRequest::Next, "next"},
    {InstanceRequest::Previous, "previous"},
    {InstanceRequest::Stop, "stop"},
}};

std::optional<InstanceRequest::Kind> kindNamed(const QString &name)
{
    for (const auto &[kind, text] : KindNames)
        if (name == QLatin1String(text))
            return kind;
    return std::nullopt;
}

QByteArray nameOf(InstanceRequest::Kind kind)
{
    for (const auto &[each, text] : KindNames)
        if (each == kind)
            return QByteArray(text);
    return {};
}

} // namespace

std::optional<QByteArray> encode(const InstanceRequest &request, const QString &activationToken)
{
    const bool withToken = !activationToken.isEmpty();
    QByteArray payload = nameOf(request.kind) + '\0';
    if (withToken) {
        const QByteArray token = activationToken.toUtf8();
        if (token.contains('\0'))
            return std::nullopt;
        payload += token + '\0';
    }
    for (const QString &path : request.paths) {
        const QByteArray bytes = path.toUtf8();
        if (bytes.contains('\0'))
            return std::nullopt;
        payload += bytes + '\0';
        if (payload.size() > MaxPayloadBytes)
            return std::nullopt;
    }
    QByteArray message(Magic, sizeof Magic);
    message += char(withToken ? TokenVersion : PlainVersion);
    char length[4];
    qToBigEndian(quint32(payload.size()), length);
    message += QByteArray(length, sizeof length);
    return message + payload;
}

qint64 Reader::wanted() const
{
    if (m_state != Incomplete)
        return 0;
    const qint64 total = m_payloadBytes < 0 ? HeaderBytes : HeaderBytes + m_payloadBytes;
    return total - m_bytes.size();
}

Reader::State Reader::add(QByteArrayView bytes)
{
    if (m_state != Incomplete)
        return m_state;
    if (bytes.size() > wanted())
        return fail(QStringLiteral("more bytes than the message holds"));
    m_bytes += bytes;
    if (m_payloadBytes < 0 && m_bytes.size() == HeaderBytes && readHeader() == Invalid)
        return m_state;
    if (m_payloadBytes >= 0 && m_bytes.size() == HeaderBytes + m_payloadBytes)
        return readPayload();
    return m_state;
}

Reader::State Reader::readHeader()
{
    if (!m_bytes.startsWith(QByteArrayView(Magic, sizeof Magic)))
        return fail(QStringLiteral("not a message of this program"));
    m_version = quint8(m_bytes.at(4));
    if (m_version != PlainVersion && m_version != TokenVersion)
        return fail(QStringLiteral("unknown version %1").arg(m_version));
    const quint32 length = qFromBigEndian<quint32>(m_bytes.constData() + 5);
    if (length > MaxPayloadBytes)
        return fail(QStringLiteral("%1 bytes announced, at most %2 taken")
                        .arg(length)
                        .arg(MaxPayloadBytes));
    m_payloadBytes = length;
    return m_state;
}

Reader::State Reader::readPayload()
{
    const QByteArrayView payload = QByteArrayView(m_bytes).sliced(HeaderBytes);
    if (!payload.endsWith('\0'))
        return fail(QStringLiteral("unterminated field"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(payload.chopped(1));
    if (utf8.hasError())
        return fail(QStringLiteral("text that is not UTF-8"));
    QStringList fields = text.split(QChar(0));
    const std::optional<InstanceRequest::Kind> kind = kindNamed(fields.takeFirst());
    if (!kind)
        return fail(QStringLiteral("unknown request"));
    QString token;
    if (m_version == TokenVersion) {
        if (fields.isEmpty() || fields.first().isEmpty())
            return fail(QStringLiteral("no activation token"));
        token = fields.takeFirst();
    }
    const bool open = *kind == InstanceRequest::Open;
    if (open != !fields.isEmpty())
        return fail(open ? QStringLiteral("no files to open")
                         : QStringLiteral("files given to a request that takes none"));
    for (const QString &path : std::as_const(fields))
        if (!path.startsWith(QLatin1Char('/')))
            return fail(QStringLiteral("a path that is not absolute"));
    m_request = {*kind, fields};
    m_activationToken = token;
    m_bytes = QByteArray();
    m_state = Complete;
    return m_state;
}

Reader::State Reader::fail(const QString &why)
{
    m_error = why;
    m_bytes = QByteArray();
    m_state = Invalid;
    return m_state;
}

} // namespace InstanceMessage
