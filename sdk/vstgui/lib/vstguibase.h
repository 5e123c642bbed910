#pragma once

// Basic types, reference counting and the assertion hook of the GUI library.

#include <cstddef>
#include <cstdint>
#include <utility>

namespace VSTGUI {

using int8 = int8_t;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;

using CCoord = double;
using UTF8StringPtr = const char*;

//------------------------------------------------------------------------
// Assertions: reported to the installed handler, ignored when none is set.
using AssertionHandler = void (*) (const char* file, int line, const char* condition,
                                   const char* message);

void setAssertionHandler (AssertionHandler handler);
AssertionHandler getAssertionHandler ();
void doAssert (const char* file, int line, const char* condition, const char* message);

#define vstgui_assert(cond, ...)                                                          \
	do                                                                                    \
	{                                                                                     \
		if (!(cond))                                                                      \
			::VSTGUI::doAssert (__FILE__, __LINE__, #cond, ::VSTGUI::assertMessage (__VA_ARGS__)); \
	} while (0)

inline const char* assertMessage () { return nullptr; }
inline const char* assertMessage (const char* msg) { return msg; }

//------------------------------------------------------------------------
class IReference
{
public:
	virtual ~IReference () noexcept = default;
	virtual void remember () = 0;
	virtual void forget () = 0;
};

// Counted object on the UI thread: starts with one reference, deleted by the last forget().
class NonAtomicReferenceCounted : public IReference
{
public:
	NonAtomicReferenceCounted () = default;
	NonAtomicReferenceCounted (const NonAtomicReferenceCounted&) : refCount (1) {}
	NonAtomicReferenceCounted& operator= (const NonAtomicReferenceCounted&) { return *this; }

	void remember () override { ++refCount; }
	void forget () override;
	int32 getNumberOfReferences () const { return refCount; }

protected:
	// Called once, right before the object is deleted by its last forget().
	virtual void beforeDelete () {}

private:
	int32 refCount {1};
};

class CBaseObject : public NonAtomicReferenceCounted
{
};

//------------------------------------------------------------------------
// Smart pointer holding one counted reference.
template <class T>
class SharedPointer
{
public:
	SharedPointer () noexcept = default;
	SharedPointer (std::nullptr_t) noexcept {}
	// Takes an additional reference.
	SharedPointer (T* p, bool remember = true) noexcept : ptr (p)
	{
		if (ptr && remember)
			ptr->remember ();
	}
	SharedPointer (const SharedPointer& o) noexcept : SharedPointer (o.ptr) {}
	SharedPointer (SharedPointer&& o) noexcept : ptr (o.ptr) { o.ptr = nullptr; }
	template <class U>
	SharedPointer (const SharedPointer<U>& o) noexcept : SharedPointer (o.get ())
	{
	}
	~SharedPointer () noexcept { reset (); }

	SharedPointer& operator= (const SharedPointer& o) noexcept { return *this = o.ptr; }
	SharedPointer& operator= (SharedPointer&& o) noexcept
	{
		if (this != &o)
		{
			T* old = ptr;
			ptr = o.ptr;
			o.ptr = nullptr;
			if (old)
				old->forget ();
		}
		return *this;
	}
	SharedPointer& operator= (T* p) noexcept
	{
		if (p != ptr)
		{
			if (p)
				p->remember ();
			T* old = ptr;
			ptr = p;
			if (old)
				old->forget ();
		}
		return *this;
	}
	SharedPointer& operator= (std::nullptr_t) noexcept
	{
		reset ();
		return *this;
	}

	void reset () noexcept
	{
		T* old = ptr;
		ptr = nullptr;
		if (old)
			old->forget ();
	}

	T* get () const noexcept { return ptr; }
	T* operator-> () const noexcept { return ptr; }
	T& operator* () const noexcept { return *ptr; }
	explicit operator bool () const noexcept { return ptr != nullptr; }
	operator T* () const noexcept { return ptr; }

	// Adopts an object whose reference the caller owns (no extra reference).
	SharedPointer& adopt (T* p) noexcept
	{
		T* old = ptr;
		ptr = p;
		if (old)
			old->forget ();
		return *this;
	}

private:
	T* ptr {nullptr};
};

// Creates an object and hands its initial reference to the returned pointer.
template <class T, class... Args>
SharedPointer<T> makeOwned (Args&&... args)
{
	SharedPointer<T> p;
	p.adopt (new T (std::forward<Args> (args)...));
	return p;
}

template <class T>
SharedPointer<T> owned (T* p) noexcept
{
	SharedPointer<T> r;
	r.adopt (p);
	return r;
}

template <class T>
SharedPointer<T> shared (T* p) noexcept
{
	return SharedPointer<T> (p);
}

} // namespace VSTGUI
