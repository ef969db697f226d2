// The microtuning client: follows an external tuning master through the tuning library
// when it is installed, and answers equal temperament otherwise.
#pragma once

#include <array>
#include <memory>
#include <string>

namespace shell {

// The process-wide binding to the tuning library: the library handle, its fourteen entry
// points resolved by name, and the tuning table it owns.
//
// Binding loads a library, so it never runs in static initialisation or from the plug-in
// library's own load (the Windows loader lock would deadlock the host): the shell calls
// EnsureBound under the instance-creation lock before it creates the first client. Later
// calls do nothing; the library is not looked for again until the process restarts.
// Queries read the binding lock-free from any thread once it is published.
class TuningBinding {
 public:
  // Binds the library at the system's fixed location (platform::TuningLibraryPath()).
  static void EnsureBound();
  // Binds the library at `libraryPath` ("" binds no library). For tests and tools.
  static void EnsureBound(const std::string& libraryPath);
  // Drops the binding and unloads the library so that EnsureBound binds anew. For tests
  // and orderly shutdown only: no client may exist or be queried meanwhile.
  static void Release();

  static bool IsLibraryLoaded();
  // A master is present when the library gave a tuning table and reports a master now;
  // asked anew at every query, since masters come and go while the host runs.
  static bool HasMaster();
};

// One client per plug-in instance. Construction registers it with the library when one is
// bound, destruction deregisters it. Created and destroyed on the user-interface thread
// (with the instance); the queries run on the audio thread and neither allocate nor lock.
class TuningClient {
 public:
  static constexpr int kNoteCount = 128;

  TuningClient();
  ~TuningClient();
  TuningClient(const TuningClient&) = delete;
  TuningClient& operator=(const TuningClient&) = delete;

  const std::array<double, kNoteCount>& EqualTempered() const { return equalTempered_; }
  // The frequency last answered for each note under a master (Hz).
  const std::array<double, kNoteCount>& Retuned() const { return retuned_; }
  const std::string& ScaleName() const { return scaleName_; }

 private:
  friend double NoteFrequency(TuningClient& client, int note);

  std::array<double, kNoteCount> equalTempered_{};  // 440 * 2^((n - 69) / 12) Hz
  std::array<double, kNoteCount> retuned_{};
  std::string scaleName_ = "12-TET";
  bool registered_ = false;
};

std::unique_ptr<TuningClient> CreateTuningClient();

// The frequency of a MIDI note in Hz (note masked to 0..127): the master's when one is
// present and its value is a positive finite number, else equal temperament.
double NoteFrequency(TuningClient& client, int note);

// True when a present master asks that the note (masked to 0..127) not be played.
bool ShouldFilterNote(const TuningClient& client, int note);

// The pitch code (1/128 semitone, code 0 = MIDI note 0) of a MIDI note under the current
// tuning: note x 128 without a client or a master, else the code whose PitchToFrequency
// meets the master's frequency, found by a 14-step halving search from 8640 (the steps add
// up to 8636, so the answer lies within 4 .. 17276).
int PitchCodeForNote(TuningClient* client, int note);

}  // namespace shell
