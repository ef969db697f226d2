// The narrow interface between the plug-in and the operating system. Everything above
// platform/ reaches the system only through these calls; platform/win32 implements them
// with the Win32 API, platform/posix with POSIX and small layers of our own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A re-entrant lock: a critical section on Windows, a recursive mutex elsewhere.
// Enter may be called again by the thread that holds it; every Enter needs its Leave.
class CriticalSection {
 public:
  CriticalSection();
  ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter();
  void Leave();

 private:
  struct Impl;
  Impl* impl_ = nullptr;
};

// Holds a CriticalSection for the life of the guard.
class Guard {
 public:
  explicit Guard(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~Guard() { section_.Leave(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  CriticalSection& section_;
};

// ---- Private-profile (INI) files -------------------------------------------------------
// The semantics are those of the Windows private-profile functions: sections and keys
// compare without regard to case; a missing file, section or key gives `fallback` (a
// null fallback reads as ""); blanks around keys and values are ignored and a value in
// matching quotes loses them; the answer holds at most bufferSize - 1 characters.
// Every other byte of the file is preserved by the writers; CRLF and LF files are read,
// and lines a writer adds take the file's own line ending. The calls are serialised
// within the process and may come from any non-audio thread; an empty path refuses.
std::string ReadProfileString(const std::string& path, const char* section, const char* key, const char* fallback,
                              std::size_t bufferSize);
// Writes key=value into section, creating the section and the file when needed (the
// folder must exist); an existing key keeps its place and gets the new value.
// A null value deletes the key; a null key deletes the whole section.
// Answers false when the file cannot be written or a name or value holds a line break.
bool WriteProfileString(const std::string& path, const char* section, const char* key, const char* value);
// Replaces the whole body of a section with the given "key=value" lines (an empty list
// leaves the section header with no keys), creating section and file when needed.
bool WriteProfileSection(const std::string& path, const char* section, const std::vector<std::string>& lines);

// ---- Folders and files ------------------------------------------------------------------
// The per-user folder that holds application settings: local application data on Windows,
// $XDG_CONFIG_HOME or else ~/.config on POSIX systems ("" when there is no home).
std::string LocalAppDataFolder();
// The user's documents folder: on POSIX systems XDG_DOCUMENTS_DIR of the user-dirs file,
// else ~/Documents when it exists, else the home folder.
std::string DocumentsFolder();
// The separator between path components ('\\' on Windows, '/' elsewhere).
char PathSeparator();
bool PathExists(const std::string& path);
// Creates one folder level; false when it cannot be created or already exists.
bool CreateFolder(const std::string& path);
// The names (not paths) of the regular files in folder whose name matches pattern, a
// file-system wildcard of '*' and '?' such as "*.fxp", sorted by name. On POSIX systems the
// extension compares without regard to case ("*.fxp" finds "A.FXP") and the rest with it.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// ---- The plug-in library's own module ------------------------------------------------------
// Recorded when the library is loaded (DllMain on Windows); null elsewhere.
void SetModuleHandle(void* handle);
void* ModuleHandle();

// Bytes of a resource embedded in the plug-in library, found by name and type.
struct ResourceBytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};
// Names and types compare without regard to case, as Windows resource names do; a
// numeric resource id is written "#101". Not found: data null, size 0.
ResourceBytes FindModuleResource(const char* name, const char* type);

// Where there is no resource section (POSIX), the resources library hands its table of
// embedded bytes to the platform once, before the first FindModuleResource (for example
// from the creation of the first instance). The table and its bytes must live until the
// process ends; registering the same table again changes nothing, and up to eight tables
// can be registered. Thread-safe. The Windows build looks in the module's resource section
// first and takes a registered table only when the module has no such resource (test
// programs that link the libraries without a resource script).
struct EmbeddedResource {
  const char* name;
  const char* type;
  const std::uint8_t* data;
  std::size_t size;
};
void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count);

// ---- Dynamic libraries -----------------------------------------------------------------------
// Loads a shared library by full path; null when it cannot be loaded. Never call from a
// library's own load or static initialisation (the Windows loader lock can deadlock).
void* OpenLibrary(const std::string& path);
// Null when the library is null or lacks the symbol.
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
// Where the tuning service's library is installed on this system ("" when it cannot be
// determined): /usr/local/lib/libMTS.so on POSIX systems.
std::string TuningLibraryPath();

}  // namespace platform
