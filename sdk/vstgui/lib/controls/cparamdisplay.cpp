#include "cparamdisplay.h"
#include "../cbitmap.h"
#include "../cdrawcontext.h"
#include <charconv>
#include <cmath>

namespace VSTGUI {

namespace {

// Stores value and redraws the view, unless nothing changes.
template <class T, class V>
void change (CView* view, T& member, const V& value)
{
	if (member == value)
		return;
	member = value;
	view->invalid ();
}

} // namespace

CParamDisplay::CParamDisplay (const CRect& size, CBitmap* background)
: CControl (size, nullptr, -1, background), font (makeOwned<CFontDesc> ())
{
}

CParamDisplay::CParamDisplay (const CParamDisplay& other)
: CControl (other)
, valueToString (other.valueToString)
, font (other.font)
, fontColor (other.fontColor)
, backColor (other.backColor)
, horiAlign (other.horiAlign)
{
}

void CParamDisplay::setValueToStringFunction (ValueToStringFunction function)
{
	valueToString = std::move (function);
	invalid ();
}

void CParamDisplay::setFont (CFontRef newFont)
{
	if (newFont)
		change (this, font, newFont);
}

void CParamDisplay::setFontColor (const CColor& color) { change (this, fontColor, color); }
void CParamDisplay::setBackColor (const CColor& color) { change (this, backColor, color); }
void CParamDisplay::setHoriAlign (CHoriTxtAlign align) { change (this, horiAlign, align); }

std::string CParamDisplay::getDisplayText () const
{
	std::string text;
	if (valueToString)
	{
		if (!valueToString (getValue (), text))
			text.clear ();
		return text;
	}
	// Locale-independent, like every text the library writes.
	char buffer[64];
	const float v = getValue ();
	if (!std::isfinite (v))
		return text;
	auto result = std::to_chars (buffer, buffer + sizeof (buffer), v, std::chars_format::fixed, 2);
	if (result.ec == std::errc ())
		text.assign (buffer, result.ptr);
	return text;
}

void CParamDisplay::draw (CDrawContext* context)
{
	if (!context)
		return;
	if (auto* bitmap = getDrawBackground ())
		bitmap->draw (context, getViewSize ());
	else if (!getTransparency ())
	{
		context->setFillColor (backColor);
		context->drawRect (getViewSize (), kDrawFilled);
	}
	const std::string text = getDisplayText ();
	if (!text.empty ())
	{
		context->setFont (font);
		context->setFontColor (fontColor);
		context->drawString (text.c_str (), getViewSize (), horiAlign);
	}
	setDirty (false);
}

bool CParamDisplay::sizeToFit ()
{
	auto* bitmap = getDrawBackground ();
	if (!bitmap || !bitmap->isLoaded ())
		return false;
	CRect r (getViewSize ());
	r.setWidth (bitmap->getWidth ());
	r.setHeight (bitmap->getHeight ());
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

} // namespace VSTGUI
