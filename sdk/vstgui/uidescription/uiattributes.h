#pragma once

#include "../lib/crect.h"
#include <map>
#include <string>

namespace VSTGUI {

// The attributes of one node of an editor description, in name order, so that a node
// with many attributes is read in logarithmic time. Names are compared exactly; setting
// a name again replaces its value. Numbers are read and written in the C locale's format
// whatever the process locale; a number must fill its text and be finite.
class UIAttributes
{
public:
	bool hasAttribute (const std::string& name) const { return getAttributeValue (name); }
	// Null when the node has no such attribute.
	const std::string* getAttributeValue (const std::string& name) const;
	void setAttribute (const std::string& name, const std::string& value);
	size_t size () const { return attributes.size (); }
	auto begin () const { return attributes.begin (); }
	auto end () const { return attributes.end (); }

	// Each reader answers false, leaving value alone, when the attribute is missing or
	// does not read as its type.
	bool getStringAttribute (const std::string& name, std::string& value) const;
	// "true" or "false".
	bool getBooleanAttribute (const std::string& name, bool& value) const;
	bool getIntegerAttribute (const std::string& name, int32& value) const;
	bool getDoubleAttribute (const std::string& name, double& value) const;
	// "x, y"
	bool getPointAttribute (const std::string& name, CPoint& value) const;
	// "left, top, right, bottom"
	bool getRectAttribute (const std::string& name, CRect& value) const;

	static std::string pointToString (const CPoint& point);
	// With precision 0 the shortest text that reads back as value; otherwise the
	// shortest with at most precision significant digits.
	static std::string doubleToString (double value, uint32 precision = 0);
	static bool stringToDouble (const std::string& text, double& value);
	static bool stringToPoint (const std::string& text, CPoint& value);

private:
	std::map<std::string, std::string> attributes;
};

} // namespace VSTGUI
