#include "uiattributes.h"
#include <charconv>
#include <cmath>

namespace VSTGUI {

namespace {

std::string trimmed (const std::string& text, size_t begin, size_t end)
{
	while (begin < end && text[begin] == ' ')
		++begin;
	while (end > begin && text[end - 1] == ' ')
		--end;
	return text.substr (begin, end - begin);
}

// Reads count numbers separated by commas (blanks around each number allowed).
bool readNumbers (const std::string& text, double* values, size_t count)
{
	size_t start = 0;
	for (size_t i = 0; i < count; ++i)
	{
		const size_t comma = text.find (',', start);
		const bool last = i + 1 == count;
		if (last != (comma == std::string::npos))
			return false;
		const size_t end = last ? text.size () : comma;
		if (!UIAttributes::stringToDouble (trimmed (text, start, end), values[i]))
			return false;
		start = end + 1;
	}
	return true;
}

} // namespace

const std::string* UIAttributes::getAttributeValue (const std::string& name) const
{
	const auto it = attributes.find (name);
	return it == attributes.end () ? nullptr : &it->second;
}

void UIAttributes::setAttribute (const std::string& name, const std::string& value)
{
	attributes[name] = value;
}

bool UIAttributes::getStringAttribute (const std::string& name, std::string& value) const
{
	const auto* v = getAttributeValue (name);
	if (!v)
		return false;
	value = *v;
	return true;
}

bool UIAttributes::getBooleanAttribute (const std::string& name, bool& value) const
{
	const auto* v = getAttributeValue (name);
	if (!v || (*v != "true" && *v != "false"))
		return false;
	value = *v == "true";
	return true;
}

bool UIAttributes::getIntegerAttribute (const std::string& name, int32& value) const
{
	const auto* v = getAttributeValue (name);
	if (!v)
		return false;
	int32 result = 0;
	const char* end = v->data () + v->size ();
	auto r = std::from_chars (v->data (), end, result);
	if (r.ec != std::errc () || r.ptr != end || v->empty ())
		return false;
	value = result;
	return true;
}

bool UIAttributes::getDoubleAttribute (const std::string& name, double& value) const
{
	const auto* v = getAttributeValue (name);
	return v && stringToDouble (*v, value);
}

bool UIAttributes::getPointAttribute (const std::string& name, CPoint& value) const
{
	const auto* v = getAttributeValue (name);
	return v && stringToPoint (*v, value);
}

bool UIAttributes::getRectAttribute (const std::string& name, CRect& value) const
{
	const auto* v = getAttributeValue (name);
	double n[4];
	if (!v || !readNumbers (*v, n, 4))
		return false;
	value = CRect (n[0], n[1], n[2], n[3]);
	return true;
}

bool UIAttributes::stringToDouble (const std::string& text, double& value)
{
	if (text.empty ())
		return false;
	double result = 0.;
	const char* end = text.data () + text.size ();
	auto r = std::from_chars (text.data (), end, result);
	if (r.ec != std::errc () || r.ptr != end || !std::isfinite (result))
		return false;
	value = result;
	return true;
}

bool UIAttributes::stringToPoint (const std::string& text, CPoint& value)
{
	double n[2];
	if (!readNumbers (text, n, 2))
		return false;
	value = CPoint (n[0], n[1]);
	return true;
}

std::string UIAttributes::doubleToString (double value, uint32 precision)
{
	char buffer[64];
	char* const end = buffer + sizeof (buffer);
	auto r = precision == 0 ? std::to_chars (buffer, end, value)
	                        : std::to_chars (buffer, end, value, std::chars_format::general,
	                                         static_cast<int> (precision > 17 ? 17 : precision));
	return r.ec == std::errc () ? std::string (buffer, r.ptr) : std::string ();
}

std::string UIAttributes::pointToString (const CPoint& point)
{
	return doubleToString (point.x) + ", " + doubleToString (point.y);
}

} // namespace VSTGUI
