// The audio device behind PlaySound and the MIDI sequencer.
//
// The device opens on first use through SDL (SDL_AUDIODRIVER chooses the driver as usual) and
// stays open. When it cannot be opened the program runs without sound: effects are silent,
// synchronous ones still take their length, and no tune can be opened.
#pragma once

namespace mm {

// Opens the device if it is not open yet; true when sound can be heard. A failed attempt is
// remembered until CloseAudio, so a program without a device does not retry on every effect.
bool OpenAudio();

// Stops every effect and tune, forgets the open MCI devices and closes the audio device (so
// that everything played has been delivered). The next effect or MCI_OPEN opens it again.
void CloseAudio();

// True while an effect is still being mixed into the device's output.
bool EffectPlaying();

// The soundfont FluidSynth renders tunes with: SDL_SOUNDFONTS when set, else the General MIDI
// soundfont of the timgm6mb-soundfont package.
const char* SoundFontPath();

}  // namespace mm
