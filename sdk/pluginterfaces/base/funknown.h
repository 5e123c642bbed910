// Result codes, 16-byte identifiers and the root interface FUnknown.
#pragma once

#include "fplatform.h"
#include "ftypes.h"
#include "smartpointer.h"

#include <atomic>
#include <cstring>

namespace Steinberg {

// Non-COM result values (Linux and macOS).
enum {
	kNoInterface = -1,
	kResultOk = 0,
	kResultTrue = kResultOk,
	kResultFalse = 1,
	kInvalidArgument = 2,
	kNotImplemented = 3,
	kInternalError = 4,
	kNotInitialized = 5,
	kOutOfMemory = 6
};

typedef int8 TUID[16];

namespace FUnknownPrivate {
// Two identifiers are equal when all 16 bytes are.
inline bool iidEqual(const void* a, const void* b)
{
	if (a == nullptr || b == nullptr)
		return false;
	return std::memcmp(a, b, 16) == 0;
}
} // namespace FUnknownPrivate

// The four words written out most significant byte first.
#define INLINE_UID(l1, l2, l3, l4)                                                               \
	{                                                                                            \
		(::Steinberg::int8)(((::Steinberg::uint32)(l1) >> 24) & 0xFF),                           \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l1) >> 16) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l1) >> 8) & 0xFF),                        \
		    (::Steinberg::int8)((::Steinberg::uint32)(l1)&0xFF),                                 \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l2) >> 24) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l2) >> 16) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l2) >> 8) & 0xFF),                        \
		    (::Steinberg::int8)((::Steinberg::uint32)(l2)&0xFF),                                 \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l3) >> 24) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l3) >> 16) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l3) >> 8) & 0xFF),                        \
		    (::Steinberg::int8)((::Steinberg::uint32)(l3)&0xFF),                                 \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l4) >> 24) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l4) >> 16) & 0xFF),                       \
		    (::Steinberg::int8)(((::Steinberg::uint32)(l4) >> 8) & 0xFF),                        \
		    (::Steinberg::int8)((::Steinberg::uint32)(l4)&0xFF)                                  \
	}

#define DECLARE_UID(name, l1, l2, l3, l4) ::Steinberg::TUID name = INLINE_UID(l1, l2, l3, l4);
#define EXTERN_UID(name) extern const ::Steinberg::TUID name;

//------------------------------------------------------------------------
// FUID: a 128-bit identifier held as its 16 TUID bytes.
//------------------------------------------------------------------------
class FUID
{
public:
	typedef char8 String[33];

	constexpr FUID() : data{} {}
	constexpr FUID(uint32 l1, uint32 l2, uint32 l3, uint32 l4) : data{} { setWords(l1, l2, l3, l4); }
	constexpr FUID(const FUID&) = default;
	FUID& operator=(const FUID&) = default;

	static FUID fromTUID(const TUID uid)
	{
		FUID r;
		if (uid)
			std::memcpy(r.data, uid, sizeof(TUID));
		return r;
	}

	bool isValid() const
	{
		for (int8 b : data)
			if (b != 0)
				return true;
		return false;
	}

	bool operator==(const FUID& other) const { return std::memcmp(data, other.data, 16) == 0; }
	bool operator!=(const FUID& other) const { return !(*this == other); }
	bool operator<(const FUID& other) const { return std::memcmp(data, other.data, 16) < 0; }

	uint32 getLong1() const { return word(0); }
	uint32 getLong2() const { return word(4); }
	uint32 getLong3() const { return word(8); }
	uint32 getLong4() const { return word(12); }

	void from4Int(uint32 l1, uint32 l2, uint32 l3, uint32 l4) { setWords(l1, l2, l3, l4); }
	void to4Int(uint32& l1, uint32& l2, uint32& l3, uint32& l4) const
	{
		l1 = getLong1();
		l2 = getLong2();
		l3 = getLong3();
		l4 = getLong4();
	}

	void toTUID(TUID result) const
	{
		if (result)
			std::memcpy(result, data, sizeof(TUID));
	}
	const TUID& toTUID() const { return data; }
	operator const TUID&() const { return data; }

	// 32 upper-case hex digits (the four words in order) plus NUL; needs 33 bytes.
	void toString(char8* string) const
	{
		if (!string)
			return;
		static const char8 hex[] = "0123456789ABCDEF";
		for (int i = 0; i < 16; ++i)
		{
			const uint8 b = static_cast<uint8>(data[i]);
			string[2 * i] = hex[b >> 4];
			string[2 * i + 1] = hex[b & 0x0F];
		}
		string[32] = 0;
	}

	// Accepts exactly 32 hex digits (either case); leaves the FUID unchanged otherwise.
	// Reads no further than the first non-hex character. Kept out of line: inlined into a
	// caller with a short literal, gcc -O3 warns about the never-taken read past it.
	__attribute__((noinline)) bool fromString(const char8* string)
	{
		if (!string)
			return false;
		TUID tmp {};
		int count = 0;
		for (int v = hexValue(string[0]); v >= 0; v = hexValue(string[count]))
		{
			if (count == 32)
				return false; // a 33rd digit
			tmp[count / 2] = static_cast<int8>((static_cast<uint8>(tmp[count / 2]) << 4) | v);
			++count;
		}
		if (count != 32 || string[count] != 0)
			return false;
		std::memcpy(data, tmp, 16);
		return true;
	}

protected:
	constexpr void setWords(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
	{
		const uint32 w[4] = {l1, l2, l3, l4};
		for (int i = 0; i < 4; ++i)
			for (int b = 0; b < 4; ++b)
				data[i * 4 + b] = static_cast<int8>((w[i] >> (24 - 8 * b)) & 0xFF);
	}
	uint32 word(int at) const
	{
		return (uint32(uint8(data[at])) << 24) | (uint32(uint8(data[at + 1])) << 16) |
		       (uint32(uint8(data[at + 2])) << 8) | uint32(uint8(data[at + 3]));
	}
	static int hexValue(char8 c)
	{
		if (c >= '0' && c <= '9')
			return c - '0';
		if (c >= 'a' && c <= 'f')
			return c - 'a' + 10;
		if (c >= 'A' && c <= 'F')
			return c - 'A' + 10;
		return -1;
	}

	TUID data;
};

static_assert(sizeof(FUID) == 16, "FUID holds exactly the 16 identifier bytes");

// Interface identifiers: each interface declares `static const FUID iid;` and the
// header defines it right after the class with this macro.
#define DECLARE_CLASS_IID(ClassName, l1, l2, l3, l4)                                             \
	inline const ::Steinberg::FUID ClassName::iid(l1, l2, l3, l4);
// Kept for source compatibility; the identifier is already defined by DECLARE_CLASS_IID.
#define DEF_CLASS_IID(ClassName)

// Inside queryInterface: answer one interface when the asked iid matches.
#define QUERY_INTERFACE(iid, obj, InterfaceIID, InterfaceName)                                   \
	if (::Steinberg::FUnknownPrivate::iidEqual(iid, InterfaceIID))                               \
	{                                                                                            \
		addRef();                                                                                \
		*obj = static_cast<InterfaceName*>(this);                                                \
		return ::Steinberg::kResultOk;                                                           \
	}

//------------------------------------------------------------------------
// FUnknown: interface query and reference counting.
//------------------------------------------------------------------------
class FUnknown
{
public:
	virtual tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) = 0;
	virtual uint32 PLUGIN_API addRef() = 0;
	virtual uint32 PLUGIN_API release() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(FUnknown, 0x00000000, 0x00000000, 0xC0000000, 0x00000046)

// Plain FUnknown implementation helpers for small classes that do not derive from FObject.
#define DECLARE_FUNKNOWN_METHODS                                                                 \
public:                                                                                          \
	virtual ::Steinberg::tresult PLUGIN_API queryInterface(const ::Steinberg::TUID _iid,         \
	                                                       void** obj) SMTG_OVERRIDE;            \
	virtual ::Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;                               \
	virtual ::Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;                              \
                                                                                                 \
protected:                                                                                       \
	std::atomic<::Steinberg::int32> funknownRefCount_ {1};                                       \
                                                                                                 \
public:

#define FUNKNOWN_CTOR
#define FUNKNOWN_DTOR

#define IMPLEMENT_REFCOUNT(ClassName)                                                            \
	::Steinberg::uint32 PLUGIN_API ClassName::addRef()                                           \
	{                                                                                            \
		return static_cast<::Steinberg::uint32>(++funknownRefCount_);                            \
	}                                                                                            \
	::Steinberg::uint32 PLUGIN_API ClassName::release()                                          \
	{                                                                                            \
		const ::Steinberg::int32 left = --funknownRefCount_;                                     \
		if (left == 0)                                                                           \
		{                                                                                        \
			delete this;                                                                         \
			return 0;                                                                            \
		}                                                                                        \
		return static_cast<::Steinberg::uint32>(left);                                           \
	}

#define IMPLEMENT_QUERYINTERFACE(ClassName, InterfaceName, ClassIID)                             \
	::Steinberg::tresult PLUGIN_API ClassName::queryInterface(const ::Steinberg::TUID _iid,      \
	                                                          void** obj)                        \
	{                                                                                            \
		if (!obj)                                                                                \
			return ::Steinberg::kInvalidArgument;                                                \
		QUERY_INTERFACE(_iid, obj, ::Steinberg::FUnknown::iid, InterfaceName)                    \
		QUERY_INTERFACE(_iid, obj, ClassIID, InterfaceName)                                      \
		*obj = nullptr;                                                                          \
		return ::Steinberg::kNoInterface;                                                        \
	}

#define IMPLEMENT_FUNKNOWN_METHODS(ClassName, InterfaceName, ClassIID)                           \
	IMPLEMENT_REFCOUNT(ClassName)                                                                \
	IMPLEMENT_QUERYINTERFACE(ClassName, InterfaceName, ClassIID)

//------------------------------------------------------------------------
// FUnknownPtr: queries interface I from any FUnknown and holds the result.
//------------------------------------------------------------------------
template <class I>
class FUnknownPtr : public IPtr<I>
{
public:
	FUnknownPtr() {}
	FUnknownPtr(FUnknown* unknown) { assignFrom(unknown); }
	FUnknownPtr(const FUnknownPtr& other) : IPtr<I>(other) {}

	FUnknownPtr& operator=(const FUnknownPtr& other)
	{
		IPtr<I>::operator=(other);
		return *this;
	}
	FUnknownPtr& operator=(FUnknown* unknown)
	{
		IPtr<I>::operator=(nullptr);
		assignFrom(unknown);
		return *this;
	}

	I* getInterface() const { return this->get(); }

private:
	void assignFrom(FUnknown* unknown)
	{
		if (!unknown)
			return;
		void* obj = nullptr;
		if (unknown->queryInterface(I::iid, &obj) == kResultOk && obj)
			this->take(static_cast<I*>(obj)); // the query added the reference we keep
	}
};

// Queries interface I; the result carries its own reference (or is empty).
template <class I>
inline IPtr<I> queryInterfacePtr(FUnknown* unknown)
{
	return IPtr<I>(FUnknownPtr<I>(unknown));
}

} // namespace Steinberg
