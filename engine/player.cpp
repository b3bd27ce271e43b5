#include "player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaProperty>
#include <vector>

#include "elsexception.h"
#include "playercallbacks.h"
#include "players.h"

namespace {

constexpr const char *ModuleNotInitialized = "(Module not initialized)";

bool succeeded(NpBool result)
{
    return (result & 0xff) != 0;
}

} // namespace

TElPlayer::TElPlayer(TElPlayers *collection) : QObject(collection), m_collection(collection) {}

TElPlayer::~TElPlayer()
{
    if (m_H != 0)
        DeInitModule();
}

void TElPlayer::Assign(const TElPlayer &source)
{
    const QMetaObject *meta = metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        QMetaProperty property = meta->property(i);
        if (property.isStored() && property.isWritable())
            property.write(this, property.read(&source));
    }
}

// ---- Checks -----------------------------------------------------------------------------------

void TElPlayer::requireModule() const
{
    if (m_H == 0)
        throw TElSException(NP_ERROR_NOT_INITIALIZED);
}

// After a False (or -1) answer: an error code above 0 raises, anything else lets it pass.
void TElPlayer::lenientCheck() const
{
    m_LastError = m_dll.ESLastError(m_H);
    if (m_LastError > 0)
        throw TElSException(uint8_t(m_LastError));
}

// After a False answer: raises whatever the library reports, "No error" included.
void TElPlayer::strictCheck() const
{
    m_LastError = m_dll.ESLastError(m_H);
    throw TElSException(uint8_t(m_LastError));
}

void TElPlayer::sendStrict(NpBool result) const
{
    if (!succeeded(result))
        strictCheck();
}

// ---- Module -----------------------------------------------------------------------------------

// A bare file name is looked up beside the program first, then where the system looks.
QString TElPlayer::libraryPath() const
{
    if (m_PathToDLL.contains(QLatin1Char('/')))
        return m_PathToDLL;
    QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(m_PathToDLL);
    return QFileInfo::exists(beside) ? beside : m_PathToDLL;
}

void TElPlayer::InitModule()
{
    m_library.setFileName(libraryPath());
    if (!m_library.load())
        throw TElSException(NP_ERROR_LOAD_FAILED);
    if (!m_dll.resolve(m_library, nullptr))
        throw TElSException(NP_ERROR_LOAD_FAILED);
    m_H = m_dll.ESInitModule();
    if (m_H == 0)
        throw TElSException(NP_ERROR_NOT_INITIALIZED);
    m_dll.ESSetOutCB(m_H, OutputProc, OutputActionProc, this);
    m_dll.ESSetInCB(m_H, InputOpenProc, InputCloseProc, InputGetSizeProc, InputSeekProc,
                    InputReadProc, this);
    m_Initialized = true;
}

void TElPlayer::DeInitModule()
{
    if (m_H != 0) {
        m_dll.ESDeInitModule(m_H);
        m_H = 0;
    }
    if (m_library.isLoaded()) {
        m_library.unload();
        m_dll = DecoderEntryPoints();
    }
    m_Initialized = false;
}

void TElPlayer::SetInitialized(bool value)
{
    if (value == m_Initialized)
        return;
    if (value)
        InitModule();
    else
        DeInitModule();
}

// ---- Settings ---------------------------------------------------------------------------------

void TElPlayer::SetInputMode(TElSInputMode value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetInputMode(m_H, value));
    m_InputMode = value;
}

void TElPlayer::SetInputName(const QString &value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetInputName(m_H, value.toLocal8Bit().constData()));
    m_InputName = value;
}

void TElPlayer::SetOutputMode(TElSOutputMode value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetOutputMode(m_H, value));
    m_OutputMode = value;
}

void TElPlayer::SetOutputName(const QString &value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetOutputName(m_H, value.toLocal8Bit().constData()));
    m_OutputName = value;
}

void TElPlayer::SetStartPos(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetLimits(m_H, value, m_EndPos));
    m_StartPos = value;
}

void TElPlayer::SetEndPos(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetLimits(m_H, m_StartPos, value));
    m_EndPos = value;
}

void TElPlayer::SetPriority(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetPriority(m_H, value));
    m_Priority = value;
}

void TElPlayer::SetBuffersCount(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetBuffers(m_H, value, m_BufferSize));
    m_BuffersCount = value;
}

void TElPlayer::SetBufferSize(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetBuffers(m_H, m_BuffersCount, value));
    m_BufferSize = value;
}

void TElPlayer::SetOutputDevNum(int value)
{
    if (m_H != 0)
        sendStrict(m_dll.ESSetDevNum(m_H, value));
    m_OutputDevNum = value;
}

void TElPlayer::SetUseEqualizer(bool value)
{
    if (m_H != 0) {
        if (!HasEqualizer())
            return;
        sendStrict(m_dll.ESUseEQ(m_H, value ? 1 : 0));
    }
    m_UseEqualizer = value;
}

// ---- Text queries -----------------------------------------------------------------------------

QString TElPlayer::textQuery(NpBool(NP_STDCALL *query)(char *, int32_t *),
                             const QString &fallback) const
{
    int32_t length = 0;
    query(nullptr, &length);
    std::vector<char> buffer(size_t(std::max(length, 0)) + 1, '\0');
    length = int32_t(buffer.size());
    if (!succeeded(query(buffer.data(), &length)))
        return fallback;
    buffer.back() = '\0'; // a library that filled every byte still ends here
    return QString::fromLocal8Bit(buffer.data());
}

QString TElPlayer::ModuleName() const
{
    if (m_H == 0)
        return QString::fromLatin1(ModuleNotInitialized);
    return textQuery(m_dll.ESGetName, QStringLiteral("Unknown module"));
}

QString TElPlayer::About() const
{
    if (m_H == 0)
        return QString::fromLatin1(ModuleNotInitialized);
    return textQuery(m_dll.ESGetAbout, QStringLiteral("Unknown module ... "));
}

QString TElPlayer::Extensions() const
{
    if (m_H == 0)
        return QString();
    return textQuery(m_dll.ESGetExts, QString());
}

int TElPlayer::Version() const
{
    return m_H == 0 ? -1 : m_dll.ESGetVersion();
}

// ---- Stream -----------------------------------------------------------------------------------

void TElPlayer::Open()
{
    requireModule();
    SetInputMode(m_InputMode);
    SetInputName(m_InputName);
    SetOutputMode(m_OutputMode);
    SetOutputName(m_OutputName);
    try {
        SetPriority(m_Priority);
    } catch (const TElSException &) {
        // A priority the library refuses does not stop a song from opening.
    }
    if (!succeeded(m_dll.ESOpen(m_H)))
        lenientCheck();
}

void TElPlayer::InitStream()
{
    requireModule();
    SetOutputDevNum(m_OutputDevNum);
    if (!succeeded(m_dll.ESInitStream(m_H)))
        lenientCheck();
}

void TElPlayer::Play()
{
    requireModule();
    SetStartPos(m_StartPos);
    SetEndPos(m_EndPos);
    m_dll.ESSetWindow(m_H, m_window.handle());
    bool outputEvents = m_OnOutput && m_OnOutputInit && m_OnOutputDone;
    m_dll.ESUseOutCB(m_H, outputEvents ? 1 : 0);
    if (!succeeded(m_dll.ESPlay(m_H))) {
        lenientCheck();
        return;
    }
    bool separate = false;
    if (!CanSetVolume(separate)) {
        lenientCheck();
        return;
    }
    if (separate) {
        LeftVolume(); // refreshes both channels from the library
        m_dll.ESSetVolume(m_H, (uint32_t(m_LeftVolume) << 16) | m_RightVolume);
    }
}

void TElPlayer::Pause()
{
    requireModule();
    if (succeeded(m_dll.ESPause(m_H)))
        m_Paused = true;
    else
        lenientCheck();
}

void TElPlayer::Resume()
{
    requireModule();
    if (succeeded(m_dll.ESResume(m_H)))
        m_Paused = false;
    else
        lenientCheck();
}

void TElPlayer::Stop()
{
    requireModule();
    if (succeeded(m_dll.ESStop(m_H)))
        m_Paused = false;
    else
        lenientCheck();
}

void TElPlayer::Close()
{
    requireModule();
    if (succeeded(m_dll.ESClose(m_H)))
        m_Paused = false;
    else
        lenientCheck();
}

int TElPlayer::PlayerMode() const
{
    requireModule();
    return m_dll.ESGetPlayerMode(m_H);
}

int TElPlayer::Size() const
{
    requireModule();
    int32_t size = m_dll.ESGetSize(m_H);
    if (size == -1)
        lenientCheck();
    return size;
}

int TElPlayer::Position() const
{
    requireModule();
    int32_t position = m_dll.ESGetPos(m_H);
    if (position == -1)
        lenientCheck();
    return position;
}

void TElPlayer::SetPosition(int value)
{
    requireModule();
    if (!succeeded(m_dll.ESSetPos(m_H, value)))
        lenientCheck();
}

bool TElPlayer::CanSetVolume(bool &Separate)
{
    requireModule();
    NpFlag flag = 0;
    NpBool result = m_dll.ESCanSetVolume(m_H, &flag);
    Separate = flag != 0;
    return succeeded(result);
}

bool TElPlayer::HasEqualizer()
{
    requireModule();
    NpFlag flag = 0;
    m_dll.ESHasEQ(m_H, &flag);
    return flag != 0;
}

void TElPlayer::SetEqualizerGain(int Band, int Gain)
{
    if (HasEqualizer())
        sendStrict(m_dll.ESEQ(m_H, Band, Gain));
}

bool TElPlayer::GetStreamInfo(void *Buffer, int32_t &Size)
{
    if (m_H == 0) {
        Size = -1;
        return false;
    }
    return succeeded(m_dll.ESGetInfo1(m_H, Buffer, &Size));
}

const void *TElPlayer::GetID3Info()
{
    if (m_H == 0)
        return nullptr;
    const void *tag = nullptr;
    if (!succeeded(m_dll.ESGetInfo2(m_H, &tag)))
        strictCheck();
    return tag;
}

// ---- Volume -----------------------------------------------------------------------------------

uint16_t TElPlayer::readVolume(Channel channel)
{
    requireModule();
    uint32_t volume = 0;
    if (succeeded(m_dll.ESGetVolume(m_H, &volume))) {
        m_LeftVolume = uint16_t(volume & 0xffff);
        m_RightVolume = uint16_t(volume >> 16);
    } else if (m_OutputMode != omMMSystem) {
        return 0;
    } else {
        strictCheck();
    }
    return channel == Channel::Left ? m_LeftVolume : m_RightVolume;
}

void TElPlayer::writeVolume(Channel channel, uint16_t value)
{
    uint16_t &field = channel == Channel::Left ? m_LeftVolume : m_RightVolume;
    uint16_t &other = channel == Channel::Left ? m_RightVolume : m_LeftVolume;
    if (value == field)
        return;
    field = value;
    if (m_H == 0)
        return;
    bool separate = false;
    if (!CanSetVolume(separate))
        strictCheck();
    if (!separate)
        other = value;
    sendStrict(m_dll.ESSetVolume(m_H, (uint32_t(m_LeftVolume) << 16) | m_RightVolume));
}

uint16_t TElPlayer::LeftVolume()
{
    return readVolume(Channel::Left);
}

void TElPlayer::SetLeftVolume(uint16_t value)
{
    writeVolume(Channel::Left, value);
}

uint16_t TElPlayer::RightVolume()
{
    return readVolume(Channel::Right);
}

void TElPlayer::SetRightVolume(uint16_t value)
{
    writeVolume(Channel::Right, value);
}

// ---- Events -----------------------------------------------------------------------------------

void TElPlayer::DoOutputInit(bool &Success)
{
    Success = false;
    if (m_OnOutputInit)
        m_OnOutputInit(this, Success);
}

void TElPlayer::DoOutputDone(bool &Success)
{
    Success = false;
    if (m_OnOutputDone)
        m_OnOutputDone(this, Success);
}

void TElPlayer::DoOutput(void *SampleData, int SBits, int Channels, int SampleRate, int Size,
                         bool &success)
{
    success = false;
    if (m_OnOutput)
        m_OnOutput(this, SampleData, SBits, Channels, SampleRate, Size, success);
}

void TElPlayer::DoInputOpen(int32_t &UserData, bool &CanSetPos, bool &Success)
{
    Success = false;
    if (m_OnInputOpen)
        m_OnInputOpen(this, UserData, CanSetPos, Success);
}

void TElPlayer::DoInputClose(int32_t UserData, bool &Success)
{
    Success = false;
    if (m_OnInputClose)
        m_OnInputClose(this, UserData, Success);
}

void TElPlayer::DoInputGetSize(int32_t UserData, int32_t &Size, bool &Success)
{
    Success = false;
    if (m_OnInputGetSize)
        m_OnInputGetSize(this, UserData, Size, Success);
}

void TElPlayer::DoInputSeek(int32_t UserData, int32_t NewPos, int32_t SeekMode, bool &Success)
{
    Success = false;
    if (m_OnInputSeek)
        m_OnInputSeek(this, UserData, NewPos, SeekMode, Success);
}

void TElPlayer::DoInputRead(int32_t UserData, void *Buffer, int32_t BytesToRead, int32_t &BytesRead,
                            bool &Success)
{
    Success = false;
    if (m_OnInputRead)
        m_OnInputRead(this, UserData, Buffer, BytesToRead, BytesRead, Success);
}
