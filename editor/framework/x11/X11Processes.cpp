#include "editor/framework/x11/X11Processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace x11 {

namespace {
std::vector<char*> Argv(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const std::string& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}
}  // namespace

bool ProgramExists(const char* name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
  }
  return false;
}

bool StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  // The grandchild runs the program; a pipe closed on exec tells whether exec worked.
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return false;
  std::vector<char*> args = Argv(argv);
  const pid_t child = fork();
  if (child < 0) {
    close(status[0]);
    close(status[1]);
    return false;
  }
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      execvp(args[0], args.data());
      const char failed = 1;
      (void)!write(status[1], &failed, 1);
      _exit(127);
    }
    _exit(0);
  }
  close(status[1]);
  waitpid(child, nullptr, 0);
  char failed = 0;
  const ssize_t n = read(status[0], &failed, 1);
  close(status[0]);
  return n == 0;
}

bool RunForOutput(const std::vector<std::string>& argv, std::string& output, const std::function<bool()>& keepAlive) {
  output.clear();
  if (argv.empty()) return false;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return false;
  std::vector<char*> args = Argv(argv);
  const pid_t child = fork();
  if (child < 0) {
    close(out[0]);
    close(out[1]);
    return false;
  }
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  bool ended = false;
  for (;;) {
    pollfd p{out[0], POLLIN, 0};
    const int ready = poll(&p, 1, 20);
    if (ready > 0) {
      char buffer[512];
      const ssize_t n = read(out[0], buffer, sizeof(buffer));
      if (n > 0) {
        if (output.size() < 65536) output.append(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (n == 0 || errno != EINTR) break;
    }
    if (!keepAlive()) {
      kill(child, SIGTERM);
      ended = true;
      break;
    }
  }
  close(out[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return !ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace x11
