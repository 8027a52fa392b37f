// Sound effects and MIDI music in Windows multimedia terms.
//
// PlaySound plays the program's WAVE resources (platform/crt/resources.h, Kind::Wave);
// mciSendCommand drives a MIDI sequencer with the MCI verbs the game uses (open a file,
// query its mode, play to the end, stop, close). Both stand on SDL2_mixer; tunes are
// rendered by FluidSynth with the General MIDI soundfont.
//
// Without an audio device effects are silent, but a synchronous effect still takes its
// length, and MCI_OPEN fails, so no tune can be opened.
//
// Time (the length of a synchronous effect, the end of a tune) is measured on the clock of
// platform/seams, so that both follow the virtual clock in scripted runs. Effects and tunes
// are reported to the trace: "sound" {id, sync}, "midi" {file}, "midi_stop".
//
// Everything here is meant to be called from the window's thread.
#pragma once

#include <cstdint>

#ifndef MAKEINTRESOURCE
#define MAKEINTRESOURCE(i) \
    (reinterpret_cast<const char*>(static_cast<std::uintptr_t>(static_cast<unsigned short>(i))))
#endif

// ---- PlaySound --------------------------------------------------------------------------

// Flags of PlaySound.
constexpr unsigned long SND_SYNC = 0x0000;          // return when the effect has ended
constexpr unsigned long SND_ASYNC = 0x0001;         // return at once; the effect plays on
constexpr unsigned long SND_NODEFAULT = 0x0002;     // accepted; there is no default sound
constexpr unsigned long SND_NOSTOP = 0x0010;        // do not cut off an effect still playing
constexpr unsigned long SND_PURGE = 0x0040;         // stop the effect that is playing
constexpr unsigned long SND_APPLICATION = 0x0080;   // accepted; effects belong to the program
constexpr unsigned long SND_RESOURCE = 0x00040004;  // sound names a WAVE resource id

// Plays the WAVE resource named by `sound` (MAKEINTRESOURCE(id)) when SND_RESOURCE is given.
// `module` is accepted for the Windows signature and ignored: the resources are the program's.
// Asynchronous: a new effect cuts off the one still playing (unless SND_NOSTOP, which then
// fails). Synchronous: returns after the effect's length on the clock seam.
// PlaySound(nullptr, ..., any) stops the effect that is playing.
// Returns nonzero on success; zero for an unknown resource or malformed WAVE data.
// Without an audio device the call succeeds silently (a synchronous call still waits).
int PlaySound(const char* sound, const void* module, unsigned long flags);

// ---- MCI --------------------------------------------------------------------------------

using MCIDEVICEID = unsigned int;
using MCIERROR = unsigned long;

// Commands.
constexpr unsigned MCI_OPEN = 0x0803;
constexpr unsigned MCI_CLOSE = 0x0804;
constexpr unsigned MCI_PLAY = 0x0806;
constexpr unsigned MCI_STOP = 0x0808;
constexpr unsigned MCI_SET = 0x080D;
constexpr unsigned MCI_STATUS = 0x0814;

// Flags common to every command.
constexpr unsigned long MCI_NOTIFY = 0x00000001;
constexpr unsigned long MCI_WAIT = 0x00000002;
constexpr unsigned long MCI_FROM = 0x00000004;
constexpr unsigned long MCI_TO = 0x00000008;

// MCI_OPEN flags.
constexpr unsigned long MCI_OPEN_SHAREABLE = 0x00000100;
constexpr unsigned long MCI_OPEN_ELEMENT = 0x00000200;
constexpr unsigned long MCI_OPEN_ALIAS = 0x00000400;
constexpr unsigned long MCI_OPEN_TYPE = 0x00002000;

// MCI_STATUS flags, items and modes.
constexpr unsigned long MCI_STATUS_ITEM = 0x00000100;
constexpr unsigned long MCI_STATUS_LENGTH = 0x00000001;    // length in milliseconds
constexpr unsigned long MCI_STATUS_POSITION = 0x00000002;  // position in milliseconds
constexpr unsigned long MCI_STATUS_MODE = 0x00000004;
constexpr unsigned long MCI_STATUS_READY = 0x00000007;
constexpr unsigned long MCI_SEQ_STATUS_PORT = 0x00004003;
constexpr unsigned long MCI_SEQ_MAPPER = 65535;  // the port reported: the MIDI mapper
constexpr unsigned long MCI_MODE_NOT_READY = 524;
constexpr unsigned long MCI_MODE_STOP = 525;
constexpr unsigned long MCI_MODE_PLAY = 526;
constexpr unsigned long MCI_MODE_PAUSE = 529;
constexpr unsigned long MCI_MODE_OPEN = 530;

// MCI_SET flags.
constexpr unsigned long MCI_SET_AUDIO = 0x00000800;
constexpr unsigned long MCI_SET_ON = 0x00002000;
constexpr unsigned long MCI_SET_OFF = 0x00004000;
constexpr unsigned long MCI_SET_AUDIO_ALL = 0;
constexpr unsigned long MCI_SET_AUDIO_LEFT = 1;
constexpr unsigned long MCI_SET_AUDIO_RIGHT = 2;

// Error codes (0 is success).
constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr MCIERROR MCIERR_FLAGS_NOT_COMPATIBLE = MCIERR_BASE + 28;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;
constexpr MCIERROR MCIERR_SEQ_NOMIDIPRESENT = MCIERR_BASE + 87;

// Parameter blocks.
struct MCI_GENERIC_PARMS {
    std::uintptr_t dwCallback;
};

struct MCI_OPEN_PARMS {
    std::uintptr_t dwCallback;
    MCIDEVICEID wDeviceID;         // out: the new device
    const char* lpstrDeviceType;   // ignored: the sequencer is chosen by the file's extension
    const char* lpstrElementName;  // the file, e.g. "midi\\101.mid" (backslashes map to '/')
    const char* lpstrAlias;
};

struct MCI_STATUS_PARMS {
    std::uintptr_t dwCallback;
    std::uintptr_t dwReturn;  // out
    unsigned long dwItem;
    unsigned long dwTrack;
};

struct MCI_SET_PARMS {
    std::uintptr_t dwCallback;
    unsigned long dwTimeFormat;
    unsigned long dwAudio;
};

struct MCI_PLAY_PARMS {
    std::uintptr_t dwCallback;
    unsigned long dwFrom;
    unsigned long dwTo;
};

// Sends one MCI command to a device opened by MCI_OPEN (whose id it returns in wDeviceID).
// `param` points at the command's parameter block. Returns 0 or an MCIERR_ code:
//   MCI_OPEN   + MCI_OPEN_ELEMENT: a Standard MIDI File. MCIERR_FILE_NOT_FOUND when it does
//              not open, MCIERR_INVALID_FILE when it is not a MIDI file, MCIERR_SEQ_NOMIDIPRESENT
//              without an audio device. A new device is in mode MCI_MODE_STOP at its start.
//   MCI_STATUS + MCI_STATUS_ITEM: MCI_STATUS_MODE (MCI_MODE_PLAY until the tune has played to
//              its end on the clock seam, then MCI_MODE_STOP), MCI_STATUS_LENGTH and
//              MCI_STATUS_POSITION (milliseconds), MCI_STATUS_READY, MCI_SEQ_STATUS_PORT.
//   MCI_PLAY   plays the tune from its start to its end (MCI_FROM/MCI_TO are not supported).
//   MCI_STOP   stops it; MCI_CLOSE stops and forgets the device.
//   MCI_SET    MCI_SET_AUDIO is not supported by the sequencer (MCIERR_UNSUPPORTED_FUNCTION),
//              so both channels always sound.
// MCI_NOTIFY is accepted; no completion message is posted. A command to an id that is not
// open returns MCIERR_INVALID_DEVICE_ID and does nothing else.
MCIERROR mciSendCommand(MCIDEVICEID device, unsigned message, unsigned long flags,
                        std::uintptr_t param);
