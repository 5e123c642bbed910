#pragma once

#include "vstguibase.h"
#include <string>

namespace VSTGUI {

// UTF-8 text owned by value.
class UTF8String
{
public:
	UTF8String () = default;
	UTF8String (UTF8StringPtr str) : str (str ? str : "") {}
	UTF8String (std::string str) : str (std::move (str)) {}

	UTF8StringPtr data () const { return str.c_str (); }
	operator UTF8StringPtr () const { return str.c_str (); }
	const std::string& getString () const { return str; }
	size_t length () const { return str.size (); }
	bool empty () const { return str.empty (); }

	bool operator== (const UTF8String& o) const { return str == o.str; }
	bool operator!= (const UTF8String& o) const { return str != o.str; }
	bool operator== (UTF8StringPtr o) const { return str == (o ? o : ""); }
	bool operator!= (UTF8StringPtr o) const { return !(*this == o); }
	UTF8String& operator+= (const UTF8String& o)
	{
		str += o.str;
		return *this;
	}
	UTF8String operator+ (const UTF8String& o) const { return UTF8String (str + o.str); }

private:
	std::string str;
};

} // namespace VSTGUI
