#include "ctextlabel.h"
#include "../cbitmap.h"
#include "../cdrawcontext.h"

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

CTextLabel::CTextLabel (const CRect& size, UTF8StringPtr txt, CBitmap* background)
: CControl (size, nullptr, -1, background), text (txt), font (makeOwned<CFontDesc> ())
{
}

CTextLabel::CTextLabel (const CTextLabel& other)
: CControl (other)
, text (other.text)
, font (other.font)
, fontColor (other.fontColor)
, backColor (other.backColor)
, horiAlign (other.horiAlign)
{
}

void CTextLabel::setText (const UTF8String& newText)
{
	change (this, text, newText);
}

void CTextLabel::setFont (CFontRef newFont)
{
	if (newFont)
		change (this, font, newFont);
}

void CTextLabel::setFontColor (const CColor& color)
{
	change (this, fontColor, color);
}

void CTextLabel::setBackColor (const CColor& color)
{
	change (this, backColor, color);
}

void CTextLabel::setHoriAlign (CHoriTxtAlign align)
{
	change (this, horiAlign, align);
}

void CTextLabel::draw (CDrawContext* context)
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
	if (!text.empty ())
	{
		context->setFont (font);
		context->setFontColor (fontColor);
		context->drawString (text, getViewSize (), horiAlign);
	}
	setDirty (false);
}

bool CTextLabel::sizeToFit ()
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
