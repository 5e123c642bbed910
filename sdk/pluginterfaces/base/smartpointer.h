// IPtr: an owning reference to a reference-counted interface.
#pragma once

#include <utility>

namespace Steinberg {

template <class I>
class IPtr
{
public:
	IPtr() : ptr(nullptr) {}
	// Shares the pointer: adds a reference (unless addRef is false).
	IPtr(I* p, bool addRef = true) : ptr(p)
	{
		if (ptr && addRef)
			ptr->addRef();
	}
	IPtr(const IPtr& other) : ptr(other.ptr)
	{
		if (ptr)
			ptr->addRef();
	}
	template <class T>
	IPtr(const IPtr<T>& other) : ptr(other.get())
	{
		if (ptr)
			ptr->addRef();
	}
	IPtr(IPtr&& other) noexcept : ptr(other.ptr) { other.ptr = nullptr; }
	~IPtr()
	{
		if (ptr)
			ptr->release();
	}

	IPtr& operator=(I* p)
	{
		if (p != ptr)
		{
			if (p)
				p->addRef();
			if (ptr)
				ptr->release();
			ptr = p;
		}
		return *this;
	}
	IPtr& operator=(const IPtr& other) { return operator=(other.ptr); }
	IPtr& operator=(IPtr&& other) noexcept
	{
		if (this != &other)
		{
			if (ptr)
				ptr->release();
			ptr = other.ptr;
			other.ptr = nullptr;
		}
		return *this;
	}

	operator I*() const { return ptr; }
	I* operator->() const { return ptr; }
	I* get() const { return ptr; }

	// Takes over a reference the caller already owns.
	void take(I* p)
	{
		if (ptr)
			ptr->release();
		ptr = p;
	}
	// Gives up ownership without releasing.
	I* detach()
	{
		I* p = ptr;
		ptr = nullptr;
		return p;
	}

protected:
	I* ptr;
};

// Wraps a pointer that already carries one reference (e.g. fresh from new).
template <class I>
inline IPtr<I> owned(I* p)
{
	return IPtr<I>(p, false);
}

// Wraps a borrowed pointer, adding a reference.
template <class I>
inline IPtr<I> shared(I* p)
{
	return IPtr<I>(p, true);
}

} // namespace Steinberg
