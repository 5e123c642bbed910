#include "uiviewcreator.h"
#include "iuidescription.h"
#include <cstdio>

namespace VSTGUI {
namespace UIViewCreator {

bool getStandardAttributeListValues (const std::string& attributeName,
                                     IViewCreator::ConstStringPtrList& values)
{
	static const std::string orientations[] = {"horizontal", "vertical"};
	static const std::string alignments[] = {"left", "center", "right"};
	if (attributeName == kAttrOrientation)
	{
		for (const auto& s : orientations)
			values.push_back (&s);
		return true;
	}
	if (attributeName == kAttrTextAlignment)
	{
		for (const auto& s : alignments)
			values.push_back (&s);
		return true;
	}
	return false;
}

std::string colorToString (const CColor& color, const IUIDescription* description)
{
	std::string name;
	if (description && description->lookupColorName (color, name))
		return name;
	char text[10];
	std::snprintf (text, sizeof (text), "#%02x%02x%02x%02x", color.red, color.green, color.blue,
	               color.alpha);
	return text;
}

bool parseColor (const std::string& text, CColor& color)
{
	if ((text.size () != 7 && text.size () != 9) || text[0] != '#')
		return false;
	uint8 parts[4] = {0, 0, 0, 255};
	for (size_t i = 1; i < text.size (); ++i)
	{
		const char c = text[i];
		int digit;
		if (c >= '0' && c <= '9')
			digit = c - '0';
		else if (c >= 'a' && c <= 'f')
			digit = c - 'a' + 10;
		else if (c >= 'A' && c <= 'F')
			digit = c - 'A' + 10;
		else
			return false;
		uint8& part = parts[(i - 1) / 2];
		part = static_cast<uint8> (((i - 1) % 2 == 0) ? digit << 4 : part | digit);
	}
	color = CColor (parts[0], parts[1], parts[2], parts[3]);
	return true;
}

} // namespace UIViewCreator
} // namespace VSTGUI
