// Whether a test program is built with AddressSanitizer or ThreadSanitizer, by GCC or clang:
// such builds run many times slower and replace the allocator.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESVAR_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TESVAR_SANITIZED_BUILD 1
#endif
#endif
#if !defined(TESVAR_SANITIZED_BUILD)
#define TESVAR_SANITIZED_BUILD 0
#endif
