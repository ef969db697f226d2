// Counts the global operator new calls of the whole process between Start and Stop. The
// executable that links this replaces operator new and delete (tests and benchmarks that
// prove the audio path allocates nothing).
#pragma once

namespace allocation_counter {
void Start();
// The count since Start.
long Stop();
// The count so far without stopping.
long Count();
}  // namespace allocation_counter
