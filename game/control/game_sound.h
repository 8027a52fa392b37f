// Sound effects and background music of the main window.
//
// Effects are the program's WAVE resources, played only while the sound switch is on. Music is
// one MIDI tune at a time, one of the kTuneCount tunes numbered from kFirstTune (midi\<number>.mid,
// game/res/data_layout.h), chosen with the program's random generator; a watchdog ticking every
// second starts the next tune when one has ended.
#pragma once

#include "platform/mm/mmsystem.h"

// ---- effects (their ids are the IDW_ resources) ----

// Plays effect `id` asynchronously when `soundSwitch` is on; a new effect cuts off the last.
void PlayEffect(int soundSwitch, int id);
// The pause while a connected pair's path shows: the link effect played to its end when the
// switch is on, else 300 ms of waiting.
void PlayLinkEffect(int soundSwitch);

// ---- music ----

// Opens and starts one tune, in the sequencer's steps: open (the music device keeps its old
// id when this fails), remember the device, query its port, ask for the left channel off (the
// answer is ignored), play. Returns 0 or the MCI error; a device that fails after opening is
// closed again.
MCIERROR PlayMidi(const void* notifyWindow, const char* path);
// Fills the music file name with midi\<number>.mid and plays it.
MCIERROR PlayTune(const void* notifyWindow, int number);
// Draws the next number r from the program's random generator and plays tune
// r mod kTuneCount + kFirstTune.
void StartRandomTune(const void* notifyWindow);
// Stops and closes the music device (errors, for a device that is not open, are ignored).
void StopMusic();
// Closes the music device (the program's end).
void CloseMusic();
// True when the tune has played to its end. A status query that fails (no tune open because
// the last open failed, or none yet) also counts as ended, so that the watchdog retries with
// another tune every second: one missing or broken tune file costs a second of silence, not
// the music.
bool TuneStopped();

// One tick of the music watchdog: with the music switch on and the tune ended, stops and
// closes the device and starts another random tune.
void MusicWatchdog(int musicSwitch, const void* notifyWindow);
// The music toggle: stops and closes the tune when `musicSwitch` is on, else starts a random
// tune. Returns the new switch value, 0 or 1 (the caller updates the menu, then saves it).
int ToggleMusic(int musicSwitch, const void* notifyWindow);

// The music device of the tune opened last (0 before any), and the last file name filled in.
MCIDEVICEID MusicDevice();
const char* MusicFileName();
