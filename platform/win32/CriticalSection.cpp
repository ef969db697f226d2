// Re-entrant lock for Windows: a Win32 critical section.
#include "platform/Platform.h"

#include "platform/win32/WindowsHeaders.h"

namespace platform {

struct CriticalSection::Impl {
  CRITICAL_SECTION section;
};

// Since Windows Vista InitializeCriticalSection cannot fail (it no longer raises on low
// memory), so the constructor needs no error path.
CriticalSection::CriticalSection() : impl_(new Impl) { InitializeCriticalSection(&impl_->section); }

CriticalSection::~CriticalSection() {
  DeleteCriticalSection(&impl_->section);
  delete impl_;
}

void CriticalSection::Enter() { EnterCriticalSection(&impl_->section); }
void CriticalSection::Leave() { LeaveCriticalSection(&impl_->section); }

}  // namespace platform
