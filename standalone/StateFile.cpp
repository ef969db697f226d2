// Reading, setting aside and writing the standalone program's saved state.
#include "standalone/StateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/Platform.h"
#include "tools/HostPrograms.h"

namespace standalone {
namespace {

constexpr const char* kFolder = "QuellmarkMusic";
constexpr const char* kFileName = "standalone.fxb";
// A saved bank is about 30 kB; anything near this is not one of ours.
constexpr off_t kLargestState = 16 << 20;

std::string Home() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] == '/' ? home : "";
}

// Creates every missing folder of `path` (which names a file).
bool MakeParentFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// "standalone.fxb.damaged-20250102-130405", or with "-2", "-3" ... when that exists.
std::string AsideName(const std::string& path) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
  std::string candidate = path + ".damaged-" + stamp;
  for (int n = 2; platform::PathExists(candidate); ++n) {
    candidate = path + ".damaged-" + stamp + "-" + std::to_string(n);
  }
  return candidate;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string DefaultStatePath() {
  std::string base;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') {
    base = state;
  } else if (!Home().empty()) {
    base = Home() + "/.local/state";
  } else {
    base = platform::LocalAppDataFolder();
  }
  if (base.empty()) return "";
  return base + "/" + kFolder + "/" + kFileName;
}

RestoreResult StateFile::Restore(PluginHost& host) {
  RestoreResult result;
  struct stat status {};
  if (path_.empty() || stat(path_.c_str(), &status) != 0) return result;

  std::vector<std::uint8_t> bytes;
  std::string problem;
  if (!S_ISREG(status.st_mode)) {
    problem = "it is not a file";
  } else if (status.st_size > kLargestState) {
    problem = "it is far too large for a saved state";
  } else if (!ReadWholeFile(path_, &bytes)) {
    mayWrite_ = false;
    result.kind = RestoreResult::Kind::kKept;
    result.message = "the saved state " + path_ + " cannot be read (" + std::strerror(errno) +
                     "); it is left as it is and this run's state will not be saved";
    return result;
  } else if (LoadBankFile(host, bytes, &problem)) {
    result.kind = RestoreResult::Kind::kRestored;
    return result;
  }

  const std::string aside = AsideName(path_);
  if (std::rename(path_.c_str(), aside.c_str()) != 0) {
    mayWrite_ = false;
    result.kind = RestoreResult::Kind::kKept;
    result.message = "the saved state " + path_ + " is damaged (" + problem + ") and cannot be set aside (" +
                     std::strerror(errno) + "); it is left as it is and this run's state will not be saved";
    return result;
  }
  result.kind = RestoreResult::Kind::kSetAside;
  result.asidePath = aside;
  result.message = "the saved state " + path_ + " is damaged (" + problem + "); it was set aside as " + aside +
                   " and the factory bank is used";
  return result;
}

bool StateFile::Save(PluginHost& host, std::string* error) {
  if (path_.empty()) {
    *error = "there is no folder for the state (no home folder)";
    return false;
  }
  if (!mayWrite_) {
    *error = "the saved state " + path_ + " could not be read at the start and is not overwritten";
    return false;
  }
  const std::vector<std::uint8_t> bytes = SaveBankFile(host);
  if (bytes.empty()) {
    *error = "the plug-in gave no bank";
    return false;
  }
  if (!MakeParentFolders(path_)) {
    *error = "cannot create the folders of " + path_ + " (" + std::strerror(errno) + ")";
    return false;
  }
  // Named by the process: two programs ending together each rename a whole file of their own.
  const std::string fresh = path_ + ".new-" + std::to_string(getpid());
  const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = "cannot write " + fresh + " (" + std::strerror(errno) + ")";
    return false;
  }
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const int writeErrno = errno;
  if (close(fd) != 0 || !written) {
    *error = "cannot write " + fresh + " (" + std::strerror(written ? errno : writeErrno) + ")";
    unlink(fresh.c_str());
    return false;
  }
  if (std::rename(fresh.c_str(), path_.c_str()) != 0) {
    *error = "cannot replace " + path_ + " (" + std::strerror(errno) + ")";
    unlink(fresh.c_str());
    return false;
  }
  return true;
}

}  // namespace standalone
