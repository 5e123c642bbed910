#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {

// View on a caller-owned buffer of 16-bit code units. `size` counts units
// including the terminator; nothing is ever written or read beyond it.
class UString
{
public:
	UString (char16* buffer, int32 size) : thisBuffer (buffer), thisSize (size) {}

	int32 getSize () const { return thisSize; }
	operator const char16* () const { return thisBuffer; }

	// Units before the terminator (at most size).
	int32 getLength () const;

	// Copies src (up to srcSize units or its terminator; -1 = terminator only),
	// cut to size - 1 units, and terminates.
	UString& assign (const char16* src, int32 srcSize = -1);
	UString& append (const char16* src, int32 srcSize = -1);
	const UString& copyTo (char16* dst, int32 dstSize) const;

	// 8-bit ASCII in and out; units above 0x7F come out as '?'.
	UString& fromAscii (const char* src, int32 srcSize = -1);
	UString& assign (const char* src, int32 srcSize = -1) { return fromAscii (src, srcSize); }
	const UString& toAscii (char* dst, int32 dstSize) const;

	// Reads a leading decimal number (leading blanks allowed, trailing text
	// ignored). NaN is refused.
	bool scanFloat (double& value) const;
	// Prints with `precision` decimals. On failure (result too long) the buffer
	// is left empty and false is returned.
	bool printFloat (double value, int32 precision = 4);

	bool scanInt (int64& value) const;
	bool printInt (int64 value);

protected:
	char16* thisBuffer;
	int32 thisSize;
};

template <int32 maxSize>
class UStringBuffer : public UString
{
public:
	UStringBuffer () : UString (data, maxSize) { data[0] = 0; }
	UStringBuffer (const char16* src, int32 srcSize = -1) : UString (data, maxSize)
	{
		data[0] = 0;
		assign (src, srcSize);
	}
	UStringBuffer (const char* src, int32 srcSize = -1) : UString (data, maxSize)
	{
		data[0] = 0;
		fromAscii (src, srcSize);
	}
	UStringBuffer (const UStringBuffer& other) : UString (data, maxSize)
	{
		data[0] = 0;
		assign (other.data, maxSize);
	}
	UStringBuffer& operator= (const UStringBuffer& other)
	{
		if (this != &other)
			assign (other.data, maxSize);
		return *this;
	}

private:
	char16 data[maxSize];
};

using UString128 = UStringBuffer<128>;
using UString256 = UStringBuffer<256>;

// Length of a terminated 16-bit string, looking at no more than maxUnits units.
int32 strlen16 (const char16* str, int32 maxUnits);

} // namespace Steinberg
