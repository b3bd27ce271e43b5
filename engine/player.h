// TElPlayer wraps one copy of the decoder library: it loads the library, binds its entry points,
// keeps the playback settings as properties, forwards them to the library at fixed moments,
// turns every library failure into a TElSException and the library's callbacks into events.
#pragma once

#include <QLibrary>
#include <QObject>
#include <QString>
#include <cstdint>

#include "decoderentrypoints.h"
#include "hiddenwindow.h"
#include "playerevents.h"

class TElPlayers;

class TElPlayer : public QObject {
    Q_OBJECT
public:
    enum TElSInputMode { imFile, imCallback };
    Q_ENUM(TElSInputMode)
    enum TElSOutputMode { omMMSystem, omFile, omDirectSound, omCallback };
    Q_ENUM(TElSOutputMode)

private:
    // Published, in declaration order (the order a form stores them).
    Q_PROPERTY(TElSInputMode InputMode READ InputMode WRITE SetInputMode)
    Q_PROPERTY(QString InputName READ InputName WRITE SetInputName)
    Q_PROPERTY(TElSOutputMode OutputMode READ OutputMode WRITE SetOutputMode)
    Q_PROPERTY(QString OutputName READ OutputName WRITE SetOutputName)
    Q_PROPERTY(QString PathToDLL READ PathToDLL WRITE SetPathToDLL)
    Q_PROPERTY(QString ModuleName READ ModuleName WRITE SetModuleName)
    Q_PROPERTY(QString About READ About WRITE SetAbout STORED false)
    Q_PROPERTY(int Version READ Version WRITE SetVersion STORED false)
    Q_PROPERTY(int StartPos READ StartPos WRITE SetStartPos)
    Q_PROPERTY(int EndPos READ EndPos WRITE SetEndPos)
    Q_PROPERTY(int Priority READ Priority WRITE SetPriority)
    Q_PROPERTY(int BuffersCount READ BuffersCount WRITE SetBuffersCount)
    Q_PROPERTY(int BufferSize READ BufferSize WRITE SetBufferSize)
    Q_PROPERTY(QString Extensions READ Extensions WRITE SetExtensions STORED false)
    Q_PROPERTY(int OutputDevNum READ OutputDevNum WRITE SetOutputDevNum)
    Q_PROPERTY(bool Initialized READ Initialized WRITE SetInitialized STORED false)
    Q_PROPERTY(bool UseEqualizer READ UseEqualizer WRITE SetUseEqualizer)
    Q_PROPERTY(TElSOutputActionEvent OnOutputInit READ OnOutputInit WRITE SetOnOutputInit)
    Q_PROPERTY(TElSOutputActionEvent OnOutputDone READ OnOutputDone WRITE SetOnOutputDone)
    Q_PROPERTY(TElSOutputEvent OnOutput READ OnOutput WRITE SetOnOutput)
    Q_PROPERTY(TInputOpenEvent OnInputOpen READ OnInputOpen WRITE SetOnInputOpen)
    Q_PROPERTY(TInputCloseEvent OnInputClose READ OnInputClose WRITE SetOnInputClose)
    Q_PROPERTY(TInputGetSizeEvent OnInputGetSize READ OnInputGetSize WRITE SetOnInputGetSize)
    Q_PROPERTY(TInputSeekEvent OnInputSeek READ OnInputSeek WRITE SetOnInputSeek)
    Q_PROPERTY(TInputReadEvent OnInputRead READ OnInputRead WRITE SetOnInputRead)

public:
    explicit TElPlayer(TElPlayers *collection = nullptr);
    ~TElPlayer() override;

    // Copies the stored published properties of another player.
    void Assign(const TElPlayer &source);
    TElPlayers *Collection() const { return m_collection; }

    TElSInputMode InputMode() const { return m_InputMode; }
    void SetInputMode(TElSInputMode value);
    QString InputName() const { return m_InputName; }
    void SetInputName(const QString &value);
    TElSOutputMode OutputMode() const { return m_OutputMode; }
    void SetOutputMode(TElSOutputMode value);
    QString OutputName() const { return m_OutputName; }
    void SetOutputName(const QString &value);
    QString PathToDLL() const { return m_PathToDLL; }
    void SetPathToDLL(const QString &value) { m_PathToDLL = value; }
    QString ModuleName() const;
    void SetModuleName(const QString &value) { m_ModuleName = value; }
    QString About() const;
    void SetAbout(const QString &) {}
    int Version() const;
    void SetVersion(int) {}
    int StartPos() const { return m_StartPos; }
    void SetStartPos(int value);
    int EndPos() const { return m_EndPos; }
    void SetEndPos(int value);
    int Priority() const { return m_Priority; }
    void SetPriority(int value);
    int BuffersCount() const { return m_BuffersCount; }
    void SetBuffersCount(int value);
    int BufferSize() const { return m_BufferSize; }
    void SetBufferSize(int value);
    QString Extensions() const;
    void SetExtensions(const QString &) {}
    int OutputDevNum() const { return m_OutputDevNum; }
    void SetOutputDevNum(int value);
    bool Initialized() const { return m_Initialized; }
    void SetInitialized(bool value);
    bool UseEqualizer() const { return m_UseEqualizer; }
    void SetUseEqualizer(bool value);

    TElSOutputActionEvent OnOutputInit() const { return m_OnOutputInit; }
    void SetOnOutputInit(const TElSOutputActionEvent &value) { m_OnOutputInit = value; }
    TElSOutputActionEvent OnOutputDone() const { return m_OnOutputDone; }
    void SetOnOutputDone(const TElSOutputActionEvent &value) { m_OnOutputDone = value; }
    TElSOutputEvent OnOutput() const { return m_OnOutput; }
    void SetOnOutput(const TElSOutputEvent &value) { m_OnOutput = value; }
    TInputOpenEvent OnInputOpen() const { return m_OnInputOpen; }
    void SetOnInputOpen(const TInputOpenEvent &value) { m_OnInputOpen = value; }
    TInputCloseEvent OnInputClose() const { return m_OnInputClose; }
    void SetOnInputClose(const TInputCloseEvent &value) { m_OnInputClose = value; }
    TInputGetSizeEvent OnInputGetSize() const { return m_OnInputGetSize; }
    void SetOnInputGetSize(const TInputGetSizeEvent &value) { m_OnInputGetSize = value; }
    TInputSeekEvent OnInputSeek() const { return m_OnInputSeek; }
    void SetOnInputSeek(const TInputSeekEvent &value) { m_OnInputSeek = value; }
    TInputReadEvent OnInputRead() const { return m_OnInputRead; }
    void SetOnInputRead(const TInputReadEvent &value) { m_OnInputRead = value; }

    // Public, not published.
    bool Paused() const { return m_Paused; }
    int PlayerMode() const;
    int Size() const;
    int Position() const;
    void SetPosition(int value);
    uint16_t LeftVolume();
    void SetLeftVolume(uint16_t value);
    uint16_t RightVolume();
    void SetRightVolume(uint16_t value);

    void InitModule();
    void DeInitModule();
    void Open();
    void InitStream();
    void Play();
    void Pause();
    void Resume();
    void Stop();
    void Close();
    bool CanSetVolume(bool &Separate);
    bool HasEqualizer();
    // Band 0..9 (31 Hz..16 kHz) or -1 for the preamp, in tenths of a decibel (-120..120).
    // Needs the module; ignored when the library has no equalizer.
    void SetEqualizerGain(int Band, int Gain);
    bool GetStreamInfo(void *Buffer, int32_t &Size);
    const void *GetID3Info();

    // The callback procedures' way in: each fires its event with this player as Sender.
    virtual void DoOutputInit(bool &Success);
    virtual void DoOutputDone(bool &Success);
    virtual void DoOutput(void *SampleData, int SBits, int Channels, int SampleRate, int Size,
                          bool &success);
    virtual void DoInputOpen(int32_t &UserData, bool &CanSetPos, bool &Success);
    virtual void DoInputClose(int32_t UserData, bool &Success);
    virtual void DoInputGetSize(int32_t UserData, int32_t &Size, bool &Success);
    virtual void DoInputSeek(int32_t UserData, int32_t NewPos, int32_t SeekMode, bool &Success);
    virtual void DoInputRead(int32_t UserData, void *Buffer, int32_t BytesToRead,
                             int32_t &BytesRead, bool &Success);

private:
    enum class Channel { Left, Right };
    void requireModule() const;
    void lenientCheck() const;
    [[noreturn]] void strictCheck() const;
    // Runs a setter's library call: a False answer raises whatever ESLastError says.
    void sendStrict(NpBool result) const;
    QString textQuery(NpBool(NP_STDCALL *query)(char *, int32_t *), const QString &fallback) const;
    uint16_t readVolume(Channel channel);
    void writeVolume(Channel channel, uint16_t value);
    QString libraryPath() const;

    TElPlayers *m_collection;
    // Fields.
    QString m_ModuleName;
    uint16_t m_LeftVolume = 0;
    uint16_t m_RightVolume = 0;
    int32_t m_OutputDevNum = 0;
    QString m_PathToDLL;
    mutable int32_t m_LastError = 0;
    QLibrary m_library;
    NpHandle m_H = 0;
    HiddenWindow m_window;
    DecoderEntryPoints m_dll;
    bool m_Paused = false;
    int32_t m_StartPos = 0;
    int32_t m_EndPos = 0;
    int32_t m_Priority = 0;
    int32_t m_BufferSize = 16384;
    TElSInputMode m_InputMode = imFile;
    QString m_InputName;
    TElSOutputMode m_OutputMode = omMMSystem;
    QString m_OutputName;
    int32_t m_BuffersCount = 8;
    TElSOutputActionEvent m_OnOutputInit;
    TElSOutputActionEvent m_OnOutputDone;
    TElSOutputEvent m_OnOutput;
    TInputOpenEvent m_OnInputOpen;
    TInputCloseEvent m_OnInputClose;
    TInputGetSizeEvent m_OnInputGetSize;
    TInputSeekEvent m_OnInputSeek;
    TInputReadEvent m_OnInputRead;
    bool m_Initialized = false;
    bool m_UseEqualizer = false;
};
