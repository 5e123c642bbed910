#include "rttrap.h"

#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

namespace rttrap {
namespace {

enum Kind
{
	kAllocation,
	kDeallocation,
	kLock,
	kSleep,
	kNumKinds
};

std::atomic<bool> armed {false};
std::atomic<int> counts[kNumKinds];

inline void note (Kind k)
{
	if (armed.load (std::memory_order_relaxed))
		counts[k].fetch_add (1, std::memory_order_relaxed);
}

// The definition the interposed one hides, looked up once.
template <class F>
F next (F& cached, const char* name)
{
	if (!cached)
		cached = reinterpret_cast<F> (::dlsym (RTLD_NEXT, name));
	return cached;
}

} // namespace

Counts& Counts::operator+= (const Counts& c)
{
	allocations += c.allocations;
	deallocations += c.deallocations;
	locks += c.locks;
	sleeps += c.sleeps;
	return *this;
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer owns malloc and operator new; its allocator reports to hooks instead
// (declared here: g++ ships no <sanitizer/allocator_interface.h>).
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*) (const volatile void*, size_t),
                                                         void (*) (const volatile void*));
namespace {
void onMalloc (const volatile void*, size_t) { note (kAllocation); }
void onFree (const volatile void*) { note (kDeallocation); }
} // namespace
#endif

void arm ()
{
#if defined(__SANITIZE_ADDRESS__)
	static const int hookSlot = __sanitizer_install_malloc_and_free_hooks (onMalloc, onFree);
	(void)hookSlot;
#endif
	for (auto& c : counts)
		c.store (0);
	armed.store (true);
}

Counts disarm ()
{
	armed.store (false);
	Counts c;
	c.allocations = counts[kAllocation].load ();
	c.deallocations = counts[kDeallocation].load ();
	c.locks = counts[kLock].load ();
	c.sleeps = counts[kSleep].load ();
	return c;
}

} // namespace rttrap

using rttrap::note;

// Exported from the executable, these take the place of the C library's functions for
// every module of the process, the loaded plug-in included.
#define RTTRAP_EXPORT extern "C" __attribute__ ((visibility ("default")))

#if !defined(__SANITIZE_ADDRESS__)
// The C library's allocator under its own names. libstdc++'s operator new and delete
// allocate through malloc, aligned_alloc and free, so they are counted here as well.
extern "C" {
void* __libc_malloc (size_t);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t);
void __libc_free (void*);
}

RTTRAP_EXPORT void* malloc (size_t n) noexcept
{
	note (rttrap::kAllocation);
	return __libc_malloc (n);
}

RTTRAP_EXPORT void* calloc (size_t count, size_t n) noexcept
{
	note (rttrap::kAllocation);
	return __libc_calloc (count, n);
}

RTTRAP_EXPORT void* realloc (void* p, size_t n) noexcept
{
	note (rttrap::kAllocation);
	return __libc_realloc (p, n);
}

RTTRAP_EXPORT void* aligned_alloc (size_t alignment, size_t n) noexcept
{
	note (rttrap::kAllocation);
	return __libc_memalign (alignment, n);
}

RTTRAP_EXPORT int posix_memalign (void** out, size_t alignment, size_t n) noexcept
{
	note (rttrap::kAllocation);
	if (alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0 || alignment == 0)
		return EINVAL;
	void* p = __libc_memalign (alignment, n);
	if (!p)
		return ENOMEM;
	*out = p;
	return 0;
}

RTTRAP_EXPORT void free (void* p) noexcept
{
	if (p)
		note (rttrap::kDeallocation);
	__libc_free (p);
}
#endif

// Locks and sleeps forward to the next definition (the C library's, or a sanitizer's).
#define RTTRAP_FORWARD(kind, ret, name, params, args)                                            \
	RTTRAP_EXPORT ret name params noexcept                                                      \
	{                                                                                           \
		static ret (*real) params = nullptr;                                                    \
		note (rttrap::kind);                                                                    \
		return rttrap::next (real, #name) args;                                                 \
	}

RTTRAP_FORWARD (kLock, int, pthread_mutex_lock, (pthread_mutex_t * m), (m))
RTTRAP_FORWARD (kLock, int, pthread_mutex_trylock, (pthread_mutex_t * m), (m))
RTTRAP_FORWARD (kLock, int, pthread_mutex_timedlock, (pthread_mutex_t * m, const struct timespec* t),
                (m, t))
RTTRAP_FORWARD (kLock, int, pthread_rwlock_rdlock, (pthread_rwlock_t * l), (l))
RTTRAP_FORWARD (kLock, int, pthread_rwlock_wrlock, (pthread_rwlock_t * l), (l))
RTTRAP_FORWARD (kLock, int, pthread_spin_lock, (pthread_spinlock_t * l), (l))
RTTRAP_FORWARD (kLock, int, sem_wait, (sem_t * s), (s))
RTTRAP_FORWARD (kLock, int, sem_timedwait, (sem_t * s, const struct timespec* t), (s, t))
RTTRAP_FORWARD (kSleep, int, nanosleep, (const struct timespec* t, struct timespec* rest), (t, rest))
RTTRAP_FORWARD (kSleep, int, clock_nanosleep,
                (clockid_t c, int flags, const struct timespec* t, struct timespec* rest),
                (c, flags, t, rest))
RTTRAP_FORWARD (kSleep, int, usleep, (useconds_t us), (us))
RTTRAP_FORWARD (kSleep, unsigned, sleep, (unsigned s), (s))
