// The standalone program's state between runs: the whole bank and the current program in
// one FXB file, written on the way out and read at the next start. Used on the main thread.
#pragma once

#include <string>

#include "tools/PluginHost.h"

namespace standalone {

// $XDG_STATE_HOME/QuellmarkMusic/standalone.fxb. Without XDG_STATE_HOME (or with a relative
// one, which the XDG rules ignore) ~/.local/state stands for it; without a home folder the
// settings folder's QuellmarkMusic (where tesvar.ini lives); "" when there is none either.
std::string DefaultStatePath();

struct RestoreResult {
  enum class Kind {
    kNoFile,    // nothing saved yet: the instance is as it was
    kRestored,  // the saved bank and program are in the instance
    kSetAside,  // the file is damaged: renamed to asidePath; the caller starts a fresh
                // instance (this one may hold part of the damaged bank)
    kKept,      // the file cannot be read or set aside: left where it is, never
                // overwritten by Save; the instance is as it was
  };
  Kind kind = Kind::kNoFile;
  std::string message;    // for the user, kSetAside and kKept only
  std::string asidePath;  // kSetAside
};

class StateFile {
 public:
  explicit StateFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  RestoreResult Restore(PluginHost& host);

  // Writes the instance's whole state (its bank chunk, the current program in the header)
  // into a new file beside the old one, flushed to the disk, then renamed over it: a crash
  // or a full disk leaves the previous state whole, and of two programs ending at once the
  // later one's state stands. Creates the folders it needs. False
  // with *error set when nothing could be written, or when Restore kept a file it could
  // not read.
  bool Save(PluginHost& host, std::string* error);

 private:
  std::string path_;
  bool mayWrite_ = true;
};

}  // namespace standalone
