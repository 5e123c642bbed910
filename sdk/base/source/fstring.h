// String: an 8-bit text held by value (UTF-8 by convention).
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace Steinberg {

class String
{
public:
	String() = default;
	String(const char8* text) : str(text ? text : "") {}
	String(const String&) = default;
	String& operator=(const String&) = default;
	String& operator=(const char8* text)
	{
		str = text ? text : "";
		return *this;
	}

	String& append(const String& other)
	{
		str += other.str;
		return *this;
	}
	String& append(const char8* text)
	{
		if (text)
			str += text;
		return *this;
	}
	String& operator+=(const String& other) { return append(other); }
	String& operator+=(const char8* text) { return append(text); }

	const char8* text8() const { return str.c_str(); }
	operator const char8*() const { return text8(); }
	int32 length() const { return static_cast<int32>(str.size()); }
	bool isEmpty() const { return str.empty(); }

	bool operator==(const String& other) const { return str == other.str; }
	bool operator!=(const String& other) const { return str != other.str; }

private:
	std::string str;
};

} // namespace Steinberg
