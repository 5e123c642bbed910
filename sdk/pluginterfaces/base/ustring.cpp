#include "pluginterfaces/base/ustring.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace Steinberg {

namespace {

// Longest text handed to the C number parsers; longer input is cut.
constexpr int32 kScanBufferSize = 256;

// Copies the string into a terminated ASCII buffer for strtod/strtoll.
void toScanBuffer (const char16* src, int32 srcSize, char (&dst)[kScanBufferSize])
{
	int32 n = 0;
	if (src)
	{
		int32 len = strlen16 (src, srcSize);
		for (; n < len && n < kScanBufferSize - 1; ++n)
			dst[n] = (src[n] < 0x80) ? static_cast<char> (src[n]) : '?';
	}
	dst[n] = 0;
}

} // namespace

int32 strlen16 (const char16* str, int32 maxUnits)
{
	if (!str || maxUnits <= 0)
		return 0;
	int32 n = 0;
	while (n < maxUnits && str[n] != 0)
		++n;
	return n;
}

int32 UString::getLength () const
{
	return strlen16 (thisBuffer, thisSize);
}

UString& UString::assign (const char16* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0)
		return *this;
	thisBuffer[0] = 0;
	return append (src, srcSize);
}

UString& UString::append (const char16* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0 || !src)
		return *this;
	int32 pos = getLength ();
	if (pos >= thisSize)
		pos = thisSize - 1;
	int32 i = 0;
	while (pos < thisSize - 1 && (srcSize < 0 || i < srcSize) && src[i] != 0)
		thisBuffer[pos++] = src[i++];
	thisBuffer[pos] = 0;
	return *this;
}

const UString& UString::copyTo (char16* dst, int32 dstSize) const
{
	UString (dst, dstSize).assign (thisBuffer, thisSize);
	return *this;
}

UString& UString::fromAscii (const char* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0)
		return *this;
	int32 pos = 0;
	if (src)
	{
		while (pos < thisSize - 1 && (srcSize < 0 || pos < srcSize) && src[pos] != 0)
		{
			thisBuffer[pos] = static_cast<char16> (static_cast<unsigned char> (src[pos]));
			++pos;
		}
	}
	thisBuffer[pos] = 0;
	return *this;
}

const UString& UString::toAscii (char* dst, int32 dstSize) const
{
	if (!dst || dstSize <= 0)
		return *this;
	int32 len = getLength ();
	int32 n = 0;
	for (; n < len && n < dstSize - 1; ++n)
		dst[n] = (thisBuffer[n] < 0x80) ? static_cast<char> (thisBuffer[n]) : '?';
	dst[n] = 0;
	return *this;
}

// Numbers are read and printed with a '.' decimal point whatever locale the
// host process has set.
bool UString::scanFloat (double& value) const
{
	char text[kScanBufferSize];
	toScanBuffer (thisBuffer, thisSize, text);
	locale_t cLocale = newlocale (LC_ALL_MASK, "C", static_cast<locale_t> (0));
	if (cLocale == static_cast<locale_t> (0))
		return false;
	char* end = nullptr;
	double result = strtod_l (text, &end, cLocale);
	freelocale (cLocale);
	if (end == text || std::isnan (result))
		return false;
	value = result;
	return true;
}

bool UString::printFloat (double value, int32 precision)
{
	if (!thisBuffer || thisSize <= 0)
		return false;
	char text[kScanBufferSize];
	// Fixed notation with `precision` decimals, rounded as "%.*f" in the C locale.
	auto result = std::to_chars (text, text + sizeof (text), value, std::chars_format::fixed,
	                             precision < 0 ? 6 : static_cast<int> (precision));
	const int n = static_cast<int> (result.ptr - text);
	if (result.ec != std::errc () || n >= thisSize)
	{
		thisBuffer[0] = 0;
		return false;
	}
	fromAscii (text, n);
	return true;
}

bool UString::scanInt (int64& value) const
{
	char text[kScanBufferSize];
	toScanBuffer (thisBuffer, thisSize, text);
	char* end = nullptr;
	errno = 0;
	long long result = std::strtoll (text, &end, 10);
	if (end == text || errno == ERANGE)
		return false;
	value = result;
	return true;
}

bool UString::printInt (int64 value)
{
	if (!thisBuffer || thisSize <= 0)
		return false;
	char text[32];
	int n = std::snprintf (text, sizeof (text), "%lld", static_cast<long long> (value));
	if (n < 0 || n >= thisSize)
	{
		thisBuffer[0] = 0;
		return false;
	}
	fromAscii (text, n);
	return true;
}

} // namespace Steinberg
