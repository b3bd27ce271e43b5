/*
 * norlplay.h - the contract of libnorlplay, NorlPlayer's decoder library.
 *
 * The library decodes MPEG audio (layers 1-3, MPEG 1, 2 and 2.5) and plays it through the sound
 * server, writes it to a WAV file or hands it to the host. Hosts load it at run time and resolve
 * the 41 entry points below by name; nothing else is exported.
 *
 * A walk through one song:
 *
 *     uint32_t h = ESInitModule();                  // one decoder handle, 0 on failure
 *     ESSetInputMode(h, imFile);
 *     ESSetInputName(h, "/music/song.mp3");
 *     ESSetOutputMode(h, omMMSystem);
 *     ESOpen(h);                                    // reads the headers: mode 1 (opened)
 *     ESInitStream(h);                              // connects the output: mode 2 (ready)
 *     int32_t length = ESGetSize(h);                // milliseconds
 *     ESPlay(h);                                    // mode 4 (playing)
 *     ... poll ESGetPlayerMode(h) and ESGetPos(h) until mode 3 (played to the end) ...
 *     ESClose(h);                                   // mode 0
 *     ESDeInitModule(h);
 *
 * The equalizer, when ESHasEQ stores 1: ten bands at the octave centres 31, 62, 125, 250, 500 Hz,
 * 1, 2, 4, 8 and 16 kHz (bands 0..9) and a preamp (band -1), each in tenths of a decibel from
 * -120 to +120. The settings belong to the handle: they may be given before any stream, are kept
 * across ESClose and applied again at each ESOpen.
 *
 *     ESUseEQ(h, 1);                                // on; off again gives the untouched output
 *     ESEQ(h, 5, 60);                               // 1 kHz +6 dB
 *     ESEQ(h, -1, -30);                             // preamp -3 dB, for the headroom
 *
 * A change reaches the audio decoded after the call: it is heard once the read-ahead
 * (ESSetBuffers) and the sound server's buffer have played, typically well under a second.
 * libmpg123 scales 32 sub-bands of equal width, rate/64 each (689 Hz at 44.1 kHz), so the
 * low bands are coarse: at 44.1 and 48 kHz, 31 Hz to 500 Hz share the lowest sub-band, which
 * takes their mean, and a boost of one of them alone moves everything below about 700 Hz by
 * a fifth of it. A sub-band holding no band centre follows the curve through the centres
 * (linear in decibels over log frequency); bands above half the sample rate have no effect.
 *
 * Conventions of every entry point:
 * - Integers are 32 bits. A Boolean result is 0 or 1 in a 32-bit return; hosts read its low
 *   byte only. A Boolean argument counts by its low byte. Pointers are pointer-sized.
 * - H is a decoder handle from ESInitModule. A handle that is not live (0, released, made up)
 *   fails with error 4 (NP_ERROR_INVALID_HANDLE) and is never dereferenced.
 * - A failing entry point returns False (or -1 where it returns a number) and records an error
 *   code on its handle; ESLastError(H) reads it. The code stays until the next failure.
 * - Entry points may be called from any thread; calls on one handle are serialised inside.
 * - Callbacks run on the handle's decoder thread while a stream plays, and on the caller's
 *   thread inside the entry points that read, seek or finish a stream (ESOpen, ESSetPos,
 *   ESSetLimits, ESPlay, ESUseOutCB, ESStop, ESClose, ESInitStream, ESDeInitModule). They must
 *   not call entry points of the same handle.
 * - Handles are independent: each has its own stream, output and decoder thread.
 *
 * Player modes (ESGetPlayerMode): 0 nothing open, 1 opened, 2 ready, 3 played to the end,
 * 4 playing, 5 paused, 6 stopped.
 */
#ifndef NORLPLAY_H
#define NORLPLAY_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define NP_STDCALL __stdcall
#else
#define NP_STDCALL
#endif

#if defined(_WIN32)
#define NP_EXPORT __declspec(dllexport)
#else
#define NP_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ESGetVersion() answers this; hosts accept any version whose hundreds digit is 1. */
#define NP_VERSION 100

typedef uint32_t NpHandle;
/* Boolean result: 0 False, 1 True; only the low byte is meaningful. */
typedef int32_t NpBool;
/* Boolean stored through a pointer: one byte. */
typedef uint8_t NpFlag;

/* TElSInputMode */
enum { imFile = 0, imCallback = 1 };
/* TElSOutputMode */
enum { omMMSystem = 0, omFile = 1, omDirectSound = 2, omCallback = 3 };

/* Player modes. */
enum {
    NP_MODE_CLOSED = 0,
    NP_MODE_OPENED = 1,
    NP_MODE_READY = 2,
    NP_MODE_ENDED = 3,
    NP_MODE_PLAYING = 4,
    NP_MODE_PAUSED = 5,
    NP_MODE_STOPPED = 6
};

/* Error codes reported by ESLastError. */
enum {
    NP_ERROR_NONE = 0,
    NP_ERROR_NOT_IMPLEMENTED = 1,
    NP_ERROR_BAD_MODE = 2, /* wrong player mode for the call, or an argument out of range */
    NP_ERROR_INTERNAL = 3,
    NP_ERROR_INVALID_HANDLE = 4,
    NP_ERROR_INPUT = 5,  /* missing, unreadable, non-MPEG or failing input */
    NP_ERROR_OUTPUT = 6, /* sound server unreachable or gone, sink missing, file write failed */
    NP_ERROR_NO_MEMORY = 7,
    NP_ERROR_RESOURCES = 8,        /* thread, decoder or handle could not be allocated */
    NP_ERROR_MISSING_CALLBACK = 9, /* the mode needs a callback that was never registered */
    NP_ERROR_LOAD_FAILED = 10,     /* raised by hosts only */
    NP_ERROR_NOT_INITIALIZED = 11  /* raised by hosts only */
};

/* Stream-info record of ESGetInfo1: 16 bytes, little-endian integers. */
typedef struct NpStreamInfo {
    uint8_t stereoMode; /* 0 stereo, 1 joint stereo, 2 dual channel, 3 mono */
    uint8_t reserved[3];
    int32_t layer;      /* 1, 2 or 3 */
    int32_t bitRate;    /* bits per second; the file's average for VBR, at most INT32_MAX */
    int32_t sampleRate; /* Hz */
} NpStreamInfo;

#define NP_STREAM_INFO_SIZE 16
#define NP_ID3V1_SIZE 128

/* ---- Callbacks ------------------------------------------------------------------------------
 * The context is the pointer registered with ESSetOutCB / ESSetInCB. It comes last for the
 * output callbacks and first for the input callbacks. Each returns a Boolean success.
 */

/* A block of PCM: SBits 16, signed, interleaved, Size bytes. */
typedef NpBool(NP_STDCALL *NpOutputProc)(const void *sampleData, int32_t sBits, int32_t channels,
                                         int32_t sampleRate, int32_t size, void *context);
/* Init non-zero before the first block of a play, zero after the last one. */
typedef NpBool(NP_STDCALL *NpOutputActionProc)(NpBool init, void *context);

/* Opens the input: stores a per-stream UserData handed back to the other input callbacks and
 * whether the input can seek. */
typedef NpBool(NP_STDCALL *NpInputOpenProc)(void *context, int32_t *userData, NpFlag *canSetPos);
typedef NpBool(NP_STDCALL *NpInputCloseProc)(void *context, int32_t userData);
typedef NpBool(NP_STDCALL *NpInputGetSizeProc)(void *context, int32_t userData, int32_t *size);
/* SeekMode 0 from the start, 1 from the current position, 2 from the end. */
typedef NpBool(NP_STDCALL *NpInputSeekProc)(void *context, int32_t userData, int32_t newPos,
                                            int32_t seekMode);
/* Reads up to BytesToRead bytes; fewer (0 at the end) with True is a short read, not an error. */
typedef NpBool(NP_STDCALL *NpInputReadProc)(void *context, int32_t userData, void *buffer,
                                            int32_t bytesToRead, int32_t *bytesRead);

/* ---- Entry points ---------------------------------------------------------------------------
 * Each is declared as a function pointer type (for hosts that resolve names) and, when
 * NORLPLAY_DECLARE_FUNCTIONS is defined, as a function (for the library and for tests).
 */

#define NP_ENTRY_POINTS(X)                                                                         \
    /* A new decoder handle in mode 0, or 0 when none can be made. */                              \
    X(NpHandle, ESInitModule, (void))                                                              \
    /* Closes any stream and releases the handle; later calls with it fail with error 4. */        \
    X(NpBool, ESDeInitModule, (NpHandle h))                                                        \
    /* Opens InputName (imFile) or the input callbacks (imCallback) and reads the stream's         \
     * headers and length. From any mode; a stream already open is closed first.                   \
     * Errors: 5 missing, unreadable, empty or non-MPEG input, or a name that is not a regular     \
     * file (a FIFO or a device is refused at once, never waited on); 9 imCallback without         \
     * callbacks; 8 no decoder could be created. */                                                \
    X(NpBool, ESOpen, (NpHandle h))                                                                \
    /* Closes the stream and its output: mode 0. True also when nothing is open. */                \
    X(NpBool, ESClose, (NpHandle h))                                                               \
    /* Starts playing a ready stream (2), or resumes a paused one (5). Error 2 in other modes. */  \
    X(NpBool, ESPlay, (NpHandle h))                                                                \
    /* Answers True: every stream can pause. */                                                    \
    X(NpBool, ESCanPause, (NpHandle h))                                                            \
    /* Playing (4) to paused (5); True when already paused. Error 2 in other modes. */             \
    X(NpBool, ESPause, (NpHandle h))                                                               \
    /* Paused (5) to playing (4); True when already playing. Error 2 in other modes. */            \
    X(NpBool, ESResume, (NpHandle h))                                                              \
    /* Stops and releases the output; the position returns to the start of the range: mode 6.      \
     * ESInitStream makes it ready again. Error 2 in mode 0; 5 when the input cannot go back to    \
     * the start (media gone, a callback input that cannot be opened again): the stream is then    \
     * closed, mode 0. */                                                                          \
    X(NpBool, ESStop, (NpHandle h))                                                                \
    /* Answers True when the open stream can seek (imCallback inputs may not). */                  \
    X(NpBool, ESCanSetPos, (NpHandle h))                                                           \
    /* The audible position in ms: what the listener hears now, not what was decoded.              \
     * -1 with error 2 when nothing is open. */                                                    \
    X(int32_t, ESGetPos, (NpHandle h))                                                             \
    /* Sample-accurate seek to ms in modes 1, 2, 4, 5 and 6; a position past the end of the        \
     * range ends the stream. Error 2 in modes 0 and 3 or for a negative position, 5 when the      \
     * input cannot seek or fails; the stream then goes on as before the call (and ends with       \
     * error 5 when its input is gone). */                                                         \
    X(NpBool, ESSetPos, (NpHandle h, int32_t ms))                                                  \
    /* Text queries (no handle): with buffer NULL, *size := the text's length without its NUL,     \
     * True. With a buffer of *size bytes: True and the NUL-terminated text when it fits, else     \
     * False. */                                                                                   \
    X(NpBool, ESGetAbout, (char *buffer, int32_t *size))                                           \
    X(NpBool, ESGetName, (char *buffer, int32_t *size))                                            \
    /* The exact length of the open stream in ms (also for VBR files without a Xing header).       \
     * -1 with error 2 when nothing is open. */                                                    \
    X(int32_t, ESGetSize, (NpHandle h))                                                            \
    /* imFile or imCallback; used by the next ESOpen. Error 2 for other values. */                 \
    X(NpBool, ESSetInputMode, (NpHandle h, int32_t mode))                                          \
    /* omMMSystem, omFile, omDirectSound or omCallback; used by the next ESInitStream.             \
     * omMMSystem and omDirectSound both play through the sound server. Error 2 otherwise. */      \
    X(NpBool, ESSetOutputMode, (NpHandle h, int32_t mode))                                         \
    /* The input file name (the locale's 8-bit text), used by the next ESOpen in imFile mode.      \
     * Error 2 for a NULL name. */                                                                 \
    X(NpBool, ESSetInputName, (NpHandle h, const char *name))                                      \
    /* The WAV file written in omFile mode, used by the next ESInitStream. */                      \
    X(NpBool, ESSetOutputName, (NpHandle h, const char *name))                                     \
    /* Same as ESSetDevNum. */                                                                     \
    X(NpBool, ESSetOutputDev, (NpHandle h, int32_t device))                                        \
    /* The player mode (0..6). -1 with error 4 for a handle that is not live. */                   \
    X(int32_t, ESGetPlayerMode, (NpHandle h))                                                      \
    /* The code of the last failure on this handle (4 for a handle that is not live). */           \
    X(int32_t, ESLastError, (NpHandle h))                                                          \
    /* NP_VERSION. */                                                                              \
    X(int32_t, ESGetVersion, (void))                                                               \
    /* Read-ahead between the decoder thread and the output: count blocks of size bytes; used      \
     * by the next ESInitStream. count 1..64, size 1024..1048576, else error 2. */                 \
    X(NpBool, ESSetBuffers, (NpHandle h, int32_t count, int32_t size))                             \
    /* The decoder thread's priority: -15 idle, -2 lowest, -1 below normal, 0 normal,              \
     * 1 above normal, 2 highest, 15 time-critical. Levels the process may not take stay at        \
     * the nearest permitted one without an error. Error 2 for other values. */                    \
    X(NpBool, ESSetPriority, (NpHandle h, int32_t level))                                          \
    /* The range to play in ms; 0 as start means the beginning, 0 as end the end of the stream.    \
     * Takes effect at the next ESPlay, ESStop or seek. Error 2 for negative values. */            \
    X(NpBool, ESSetLimits, (NpHandle h, int32_t startPos, int32_t endPos))                         \
    /* Registers the output callbacks and their context. */                                        \
    X(NpBool, ESSetOutCB,                                                                          \
      (NpHandle h, NpOutputProc output, NpOutputActionProc action, void *context))                 \
    /* *volume := left in the low word, right in the high word (0..65535). In the sound-server     \
     * modes this is the stream's volume on the server, outside changes included. Before the       \
     * handle's first stream, unless ESSetVolume gave one, it is the volume the server's stream    \
     * restore keeps for this program's streams (key "sink-input-by-application-name:NorlPlayer"), \
     * the one its next stream starts with: waiting half a second at most, and asked again until   \
     * the server has answered; 65535 each when nothing is kept or no server answers. Between      \
     * streams: as the last one had it. */                                                         \
    X(NpBool, ESGetVolume, (NpHandle h, uint32_t * volume))                                        \
    /* volume: left in the HIGH word, right in the low word (the opposite packing from             \
     * ESGetVolume). Kept and applied to every stream this handle plays; until it is called,       \
     * streams start with the volume the server chooses (its stream restore). */                   \
    X(NpBool, ESSetVolume, (NpHandle h, uint32_t volume))                                          \
    /* True; *separate := 1: the channels can always be set separately. */                         \
    X(NpBool, ESCanSetVolume, (NpHandle h, NpFlag * separate))                                     \
    /* The extensions the library plays, e.g. "mp3;mp2;mp1". */                                    \
    X(NpBool, ESGetExts, (char *buffer, int32_t *size))                                            \
    /* The stream-info record (NpStreamInfo). With buffer NULL: *size := 16, True. With a          \
     * buffer of *size >= 16 bytes: the record and *size := 16. Error 2 when nothing is open or    \
     * the buffer is too small. */                                                                 \
    X(NpBool, ESGetInfo1, (NpHandle h, void *buffer, int32_t *size))                               \
    /* *tag := the open stream's 128-byte ID3v1 tag, valid until the next entry call. A file with  \
     * only an ID3v2 tag gets a record made from it: title, artist, album, year, comment as UTF-8, \
     * each cut to its field without splitting a character, and the genre byte of a numeric        \
     * genre (255 otherwise). ID3v1 texts are as the file has them, often Latin-1.                 \
     * Error 2 when nothing is open, 5 when the stream has neither tag. */                         \
    X(NpBool, ESGetInfo2, (NpHandle h, const void **tag))                                          \
    /* Prepares the output for the opened (1), ready (2), ended (3) or stopped (6) stream: mode 2; \
     * a ready or ended stream goes back to the start of the range first.                          \
     * The caller waits for the sound server half a second at most: a connection that takes        \
     * longer goes on in the background and serves a later call.                                   \
     * Errors: 6 sound server unreachable or not answering in time, sink missing or WAV file not   \
     * writable; 9 omCallback without an OutputProc; 2 in modes 0, 4 and 5; 8 no decoder thread.   \
     * After these the stream stays opened (1) or stopped (6), without an output. 5 when the       \
     * stream cannot go back to the start (see ESStop): it is then closed, mode 0. */              \
    X(NpBool, ESInitStream, (NpHandle h))                                                          \
    /* Output device: 0 the server's default sink, n > 0 the n-th sink the server lists (checked   \
     * at ESInitStream, error 6 when there is none). Error 2 for negative values. */               \
    X(NpBool, ESSetDevNum, (NpHandle h, int32_t device))                                           \
    /* Registers the input callbacks (used by imCallback) and their context. */                    \
    X(NpBool, ESSetInCB,                                                                           \
      (NpHandle h, NpInputOpenProc open, NpInputCloseProc close, NpInputGetSizeProc getSize,       \
       NpInputSeekProc seek, NpInputReadProc read, void *context))                                 \
    /* Accepted and ignored. */                                                                    \
    X(NpBool, ESSetWindow, (NpHandle h, uintptr_t window))                                         \
    /* 1: also hand every decoded block to the OutputProc while sound goes to the server. Takes    \
     * effect at once, also for a stream that is ready or playing (hosts send it between           \
     * ESInitStream and ESPlay). */                                                                \
    X(NpBool, ESUseOutCB, (NpHandle h, NpBool use))                                                \
    /* 1: equalizer on, 0: off (the default); the low byte counts. From any mode, kept across      \
     * streams. Error 1 when ESHasEQ stores 0. */                                                  \
    X(NpBool, ESUseEQ, (NpHandle h, NpBool use))                                                   \
    /* *hasEQ := 1 when the equalizer is available, else 0 (stored even for a handle that is not   \
     * live, then 0), True. */                                                                     \
    X(NpBool, ESHasEQ, (NpHandle h, NpFlag * hasEQ))                                               \
    /* Sets band 0..9 (31 Hz..16 kHz) or the preamp (-1) to gain tenths of a decibel, -120..120;   \
     * heard while the equalizer is on. From any mode, kept across streams. Error 2 for a band or  \
     * gain out of range (nothing changes), 1 when ESHasEQ stores 0. */                            \
    X(NpBool, ESEQ, (NpHandle h, int32_t band, int32_t gain))

#define NP_DECLARE_ENTRY_TYPE(ret, name, args) typedef ret(NP_STDCALL *name##Proc) args;
NP_ENTRY_POINTS(NP_DECLARE_ENTRY_TYPE)
#undef NP_DECLARE_ENTRY_TYPE

#ifdef NORLPLAY_DECLARE_FUNCTIONS
#define NP_DECLARE_ENTRY_FUNCTION(ret, name, args) NP_EXPORT ret NP_STDCALL name args;
NP_ENTRY_POINTS(NP_DECLARE_ENTRY_FUNCTION)
#undef NP_DECLARE_ENTRY_FUNCTION
#endif

#ifdef __cplusplus
}
#endif

#endif
