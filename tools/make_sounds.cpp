// make_sounds.cpp: synthesises the game's ten sound effects as WAV files (16-bit PCM, mono,
// 22050 Hz). Every sound is built from sine partials, filtered noise from a fixed seed and
// smooth envelopes, so every run writes the same files.
//
//   orvanta_make_sounds OUTPUT_FOLDER [--report]
//
// Each effect is meant to be recognised by ear, without looking: a bright rising chime for a
// letter found, a low buzz for a letter not in the puzzle, a falling glide for bankrupt, a
// clapper slowing down for the spin, claps for applause, a falling "uh-oh" for a lost turn,
// rising arpeggios for the start and for a new puzzle, a closing cadence for the exit, and a
// three-second jingle for the splash screen. All are brought to one loudness.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "tools/SoundSynth.h"

namespace {

using namespace orvanta::sounds;

// --- The effects --------------------------------------------------------------------------

// A letter found: two quick bell notes a fifth apart, rising. Short, as it plays once per
// letter uncovered.
Sound Reveal() {
  Sound s(0.3);
  AddNote(s, 0.0, 0.3, Midi(84), Bell(0.09), 0.7);    // C6
  AddNote(s, 0.06, 0.24, Midi(91), Bell(0.09), 0.8);  // G6
  return s;
}

// A letter not in the puzzle: a low, rough buzz of two saw tones a semitone apart.
Sound Wrong() {
  Sound s(0.55);
  const double length = 0.55;
  for (double base : {Midi(45), Midi(46)}) {  // A2 against B-flat 2: the roughness of a buzzer
    for (int n = 1; n * base < 3500.0; ++n) {
      const double nd = static_cast<double>(n);
      AddNote(s, 0.0, length, base * nd, {{{1.0, 1.0 / nd, 0.0}}, 0.01, 0.12}, 0.5);
    }
  }
  return s;
}

// Bankrupt: a tone gliding down two octaves, its brightness closing and a wobble growing as it
// sinks.
Sound Bankrupt() {
  const double length = 1.3;
  Sound s(length);
  const double from = Midi(72);
  const double to = Midi(48);
  const double glide = 1.15;
  for (int n = 1; n <= 6; ++n) {
    const double nd = static_cast<double>(n);
    double phase = 0.0;
    for (std::size_t i = 0; i < s.Size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double x = std::min(t / glide, 1.0);
      const double wobble = 1.0 + 0.03 * x * x * std::sin(2.0 * kPi * 6.0 * t);
      const double f = from * std::pow(to / from, x) * wobble * nd;
      if (f >= kHighestPartial) {
        continue;
      }
      const double brightness = std::pow(1.0 / nd, 1.0 + 1.5 * x);
      const double envelope = Ramp(t / 0.02) * Ramp((length - t) / 0.3);
      s.Add(i, brightness * envelope * std::sin(phase));
      phase += 2.0 * kPi * f / kRate;
    }
  }
  return s;
}

// A lost turn: a gentle falling minor third, "uh-oh".
Sound LoseTurn() {
  Sound s(0.6);
  AddNote(s, 0.0, 0.2, Midi(69), Ocarina(), 0.8, 0.004);    // A4
  AddNote(s, 0.21, 0.39, Midi(66), Ocarina(), 0.8, 0.006);  // F-sharp 4
  return s;
}

// One clap of the wheel's pointer against a peg: a woody knock with a sharp tick on top.
void AddClick(Sound& s, double start, double gain, Noise& noise) {
  const std::size_t first = ToSamples(start);
  const std::size_t count = ToSamples(0.03);
  const double detune = 1.0 + 0.03 * noise.Signed();
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double knock = 0.6 * std::exp(-t / 0.004) * std::sin(2.0 * kPi * 2600.0 * detune * t) +
                         0.5 * std::exp(-t / 0.007) * std::sin(2.0 * kPi * 1250.0 * detune * t) +
                         0.35 * std::exp(-t / 0.012) * std::sin(2.0 * kPi * 520.0 * t) +
                         0.3 * std::exp(-t / 0.0015) * noise.Signed();
    s.Add(first + i, gain * Ramp(t / 0.0005) * knock);
  }
}

// The spin: the pointer clicking past the pegs, fast at first, slowing to a stop, over a soft
// rush of the turning wheel. A wheel slowing evenly passes peg k at T(1 - sqrt(1 - k/N)).
Sound Spin() {
  Sound s(1.8);
  Noise noise(0x5eed0001U);
  const double stop = 2.0;
  const int pegs = 26;
  for (int k = 0; k < pegs; ++k) {
    const double when = stop * (1.0 - std::sqrt(1.0 - static_cast<double>(k) / pegs));
    AddClick(s, 0.005 + when, 0.9 + 0.1 * noise.Uniform(), noise);
  }
  double rush = 0.0;
  for (std::size_t i = 0; i < s.Size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    rush += 0.08 * (noise.Signed() - rush);  // low-passed noise
    const double speed = std::max(0.0, 1.0 - t / stop);
    s.Add(i, 0.6 * speed * Ramp(t / 0.05) * rush);
  }
  return s;
}

// Applause: a small crowd clapping, each clapper at their own pace and pitch, swelling in and
// dying away.
Sound Applause() {
  const double length = 1.5;
  Sound s(length);
  Noise noise(0x5eed0002U);
  for (int clapper = 0; clapper < 10; ++clapper) {
    const double period = 0.19 + 0.07 * noise.Uniform();
    const double centre = 800.0 + 1700.0 * noise.Uniform();
    const double q = 1.0 + 1.2 * noise.Uniform();
    for (double t = 0.01 + period * noise.Uniform(); t < length - 0.1;
         t += period * (0.9 + 0.2 * noise.Uniform())) {
      BandPass filter(centre * (0.9 + 0.2 * noise.Uniform()), q);
      const double gain = (0.6 + 0.4 * noise.Uniform()) * Ramp(t / 0.15) * Ramp((length - t) / 0.7);
      const std::size_t first = ToSamples(t);
      for (std::size_t i = 0; i < ToSamples(0.035); ++i) {
        const double dt = static_cast<double>(i) / kRate;
        const double env = Ramp(dt / 0.001) * std::exp(-dt / 0.007);
        s.Add(first + i, gain * filter.Next(env * noise.Signed()));
      }
    }
  }
  return s;
}

// Four notes rising `step` seconds apart, each ringing to the end of the sound (`length`); the
// top note at `topGain`.
void AddArpeggio(Sound& s, double length, const std::array<int, 4>& notes, double step,
                 const Timbre& timbre, double gain, double topGain) {
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const double start = step * static_cast<double>(i);
    AddNote(s, start, length - start, Midi(notes[i]), timbre,
            i + 1 == notes.size() ? topGain : gain);
  }
}

// The start of the game: a warm rising C major arpeggio on a soft mallet, over a low C.
Sound Intro() {
  const double length = 1.3;
  Sound s(length);
  AddArpeggio(s, length, {72, 76, 79, 84}, 0.11, Mallet(), 0.5, 0.7);  // C5 E5 G5 C6
  AddNote(s, 0.0, length, Midi(48), Mallet(), 0.35);                   // C3
  return s;
}

// A new puzzle on the board: a quicker plucked arpeggio in G with a bell on top.
Sound NewPuzzle() {
  const double length = 0.8;
  Sound s(length);
  AddArpeggio(s, length, {67, 71, 74, 79}, 0.065, Pluck(0.35), 0.5, 0.5);  // G4 B4 D5 G5
  AddNote(s, 0.26, length - 0.26, Midi(91), Bell(0.15), 0.35);             // G6
  return s;
}

// Leaving the game: a dominant seventh resolving to the tonic, the closing "amen" of a tune.
Sound Exit() {
  const double length = 1.4;
  Sound s(length);
  const double change = 0.45;
  for (int note : {55, 59, 62, 65}) {  // G7: G3 B3 D4 F4
    AddNote(s, 0.0, change + 0.03, Midi(note), Piano(), 0.3);
  }
  AddNote(s, 0.0, change + 0.03, Midi(43), Bass(), 0.5);  // G2
  for (int note : {60, 64, 67, 72}) {                     // C4 E4 G4 C5
    AddNote(s, change, length - change, Midi(note), Piano(), 0.3);
  }
  AddNote(s, change, length - change, Midi(36), Bass(), 0.5);  // C2
  return s;
}

// The game's jingle, played under the splash screen: three seconds of a bright tune in C over
// chords and bass, with a light shaker on the eighths.
Sound Jingle() {
  const double length = 3.0;
  const double eighth = 0.18;
  Sound s(length);
  struct Step {
    int note;
    double at;     // in eighths
    double beats;  // in eighths
  };
  const Step melody[] = {{67, 0, 1},  {72, 1, 1},  {76, 2, 1},  {79, 3, 2},
                         {76, 5, 1},  {79, 6, 1},  {81, 7, 2},  {79, 9, 1},
                         {77, 10, 1}, {74, 11, 1}, {71, 12, 1}, {72, 13, 4}};
  for (const Step& step : melody) {
    const double start = step.at * eighth;
    const double len = std::min(step.beats * eighth + 0.12, length - start);
    AddNote(s, start, len, Midi(step.note), Pluck(0.5), 0.45);
  }
  AddNote(s, 13 * eighth, length - 13 * eighth, Midi(84), Bell(0.35), 0.25);  // C6 sparkle

  const Step bass[] = {{48, 0, 4}, {45, 4, 4}, {41, 8, 2}, {43, 10, 3}, {36, 13, 4}};
  for (const Step& step : bass) {
    const double start = step.at * eighth;
    AddNote(s, start, std::min(step.beats * eighth, length - start), Midi(step.note), Bass(), 0.45);
  }

  struct Chord {
    std::vector<int> notes;
    double at;
    double beats;
  };
  const Chord chords[] = {{{60, 64, 67}, 0, 4},
                          {{57, 60, 64}, 4, 4},
                          {{53, 57, 60}, 8, 2},
                          {{55, 59, 62}, 10, 3},
                          {{55, 60, 64, 67}, 13, 4}};
  for (const Chord& chord : chords) {
    const double start = chord.at * eighth;
    for (int note : chord.notes) {
      AddNote(s, start, std::min(chord.beats * eighth, length - start), Midi(note), Pad(), 0.08);
    }
  }

  Noise noise(0x5eed0003U);
  for (int beat = 0; beat < 13; ++beat) {
    BandPass filter(7000.0, 1.5);
    const double gain = beat % 2 == 0 ? 0.25 : 0.15;
    const std::size_t first = ToSamples(beat * eighth);
    for (std::size_t i = 0; i < ToSamples(0.03); ++i) {
      const double dt = static_cast<double>(i) / kRate;
      s.Add(first + i, gain * filter.Next(std::exp(-dt / 0.008) * noise.Signed()));
    }
  }
  return s;
}

struct Effect {
  std::string_view fileName;
  std::function<Sound()> make;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  bool report = false;
  std::filesystem::path folder;
  for (std::string_view arg : args) {
    if (arg == "--report") {
      report = true;
    } else if (folder.empty()) {
      folder = std::filesystem::path(std::string(arg));
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: orvanta_make_sounds OUTPUT_FOLDER [--report]\n");
    return 2;
  }

  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "orvanta_make_sounds: cannot create the folder %s: %s\n",
                 folder.string().c_str(), error.message().c_str());
    return 1;
  }

  const Effect effects[] = {
      {"intro.wav", Intro},       {"newpuzzle.wav", NewPuzzle}, {"spin.wav", Spin},
      {"bankrupt.wav", Bankrupt}, {"loseturn.wav", LoseTurn},   {"applause.wav", Applause},
      {"reveal.wav", Reveal},     {"wrong.wav", Wrong},         {"exit.wav", Exit},
      {"ZONTARY.WAV", Jingle},
  };
  for (const Effect& effect : effects) {
    Sound sound = effect.make();
    Finish(sound);
    const std::filesystem::path path = folder / std::string(effect.fileName);
    const std::string bytes = EncodeWav(sound);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
      std::fprintf(stderr, "orvanta_make_sounds: cannot write the sound file %s\n",
                   path.string().c_str());
      return 1;
    }
    if (report) {
      std::printf("%-14s %5.2f s  peak %6.1f dBFS  loudness %6.1f dBFS\n",
                  std::string(effect.fileName).c_str(), sound.Seconds(),
                  Decibels(Peak(sound.Samples())), Decibels(Loudness(sound.Samples())));
    }
  }
  return 0;
}
