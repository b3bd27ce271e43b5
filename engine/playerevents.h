// The player's event types. A handler writes its out-parameters; Success tells the library
// whether the event did its work. An unassigned event counts as a failure.
#pragma once

#include <QMetaType>
#include <QObject>
#include <cstdint>
#include <functional>

using TElSOutputActionEvent = std::function<void(QObject *Sender, bool &Success)>;
using TElSOutputEvent = std::function<void(QObject *Sender, void *SampleData, int SBits,
                                           int Channels, int SampleRate, int Size, bool &success)>;
using TInputOpenEvent =
    std::function<void(QObject *Sender, int32_t &UserData, bool &CanSetPos, bool &Success)>;
using TInputCloseEvent = std::function<void(QObject *Sender, int32_t UserData, bool &Success)>;
using TInputGetSizeEvent =
    std::function<void(QObject *Sender, int32_t UserData, int32_t &Size, bool &Success)>;
using TInputSeekEvent = std::function<void(QObject *Sender, int32_t UserData, int32_t NewPos,
                                           int32_t SeekMode, bool &Success)>;
using TInputReadEvent = std::function<void(QObject *Sender, int32_t UserData, void *Buffer,
                                           int32_t BytesToRead, int32_t &BytesRead, bool &Success)>;

Q_DECLARE_METATYPE(TElSOutputActionEvent)
Q_DECLARE_METATYPE(TElSOutputEvent)
Q_DECLARE_METATYPE(TInputOpenEvent)
Q_DECLARE_METATYPE(TInputCloseEvent)
Q_DECLARE_METATYPE(TInputGetSizeEvent)
Q_DECLARE_METATYPE(TInputSeekEvent)
Q_DECLARE_METATYPE(TInputReadEvent)
