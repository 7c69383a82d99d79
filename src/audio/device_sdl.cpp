// The SDL2 sound device.  Audio is queued (SDL_QueueAudio, SDL_DequeueAudio),
// never called back, so no second thread ever touches a window's values.
// The devices open at exactly the rate and format asked for, with no changes
// allowed: SDL converts to whatever the hardware takes.  The audio system
// is started when first used, so a machine without sound still runs.
#include "audio/device_impl.h"
#include <SDL.h>

static SDL_AudioDeviceID out_dev, in_dev;
static int out_channels;
static int out_buffer_ms; // what the output device holds beyond its queue
static int audio_started;

static int start_audio()
{
  if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    return 0;
  audio_started = 1;
  return 1;
}

static SDL_AudioDeviceID open_device(int capture, int channels, int rate, SDL_AudioSpec *have)
{
  if (!start_audio())
    return 0;
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = rate;
  want.format = AUDIO_S16LSB;
  want.channels = (Uint8)channels;
  want.samples = 1024;
  want.callback = nullptr;
  return SDL_OpenAudioDevice(nullptr, capture, &want, have, 0);
}

int sdl_out_open(int channels, int rate)
{
  SDL_AudioSpec have;
  SDL_zero(have); // left unfilled when the open fails
  out_dev = open_device(0, channels, rate, &have);
  out_channels = channels;
  out_buffer_ms = have.freq > 0 ? (int)(have.samples * 1000LL / have.freq) + 1 : 0;
  return out_dev != 0;
}

// The output starts once the sound is queued, so that it begins with it.
int sdl_out_queue(const int16_t *samples, int frames)
{
  if (SDL_QueueAudio(out_dev, samples, (Uint32)frames * out_channels * 2) != 0)
    return 0;
  SDL_PauseAudioDevice(out_dev, 0);
  return 1;
}

int sdl_out_left() { return (int)(SDL_GetQueuedAudioSize(out_dev) / (2u * out_channels)); }

void sdl_out_close(int stopped)
{
  if (!out_dev)
    return;
  if (stopped)
    SDL_ClearQueuedAudio(out_dev);
  else
    SDL_Delay((Uint32)out_buffer_ms); // the last buffer the device took plays out
  SDL_CloseAudioDevice(out_dev);
  out_dev = 0;
}

int sdl_in_open(int rate)
{
  SDL_AudioSpec have;
  in_dev = open_device(1, 1, rate, &have);
  if (in_dev)
    SDL_PauseAudioDevice(in_dev, 0);
  return in_dev != 0;
}

int sdl_in_take(int16_t *dst, int frames)
{
  return (int)(SDL_DequeueAudio(in_dev, dst, (Uint32)frames * 2) / 2);
}

void sdl_in_done(int frames, int rate) {}

void sdl_in_close()
{
  if (in_dev)
    SDL_CloseAudioDevice(in_dev);
  in_dev = 0;
}

// Sleeps one step unless the window has events waiting, which the loop
// then takes without delay: a key is seen within one step however busy
// the mouse is.
void sdl_device_wait(int ms)
{
  SDL_PumpEvents();
  if (!SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
    SDL_Delay((Uint32)ms);
}

void sdl_devices_end()
{
  sdl_in_close();
  if (audio_started && SDL_WasInit(SDL_INIT_AUDIO))
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_started = 0;
}
