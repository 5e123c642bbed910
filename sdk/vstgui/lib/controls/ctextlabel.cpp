#include "ctextlabel.h"
#include "../cbitmap.h"
#include "../cdrawcontext.h"

namespace VSTGUI {

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
	if (newText == text)
		return;
	text = newText;
	invalid ();
}

void CTextLabel::setFont (CFontRef newFont)
{
	if (!newFont || newFont == font.get ())
		return;
	font = newFont;
	invalid ();
}

void CTextLabel::setFontColor (const CColor& color)
{
	if (color == fontColor)
		return;
	fontColor = color;
	invalid ();
}

void CTextLabel::setBackColor (const CColor& color)
{
	if (color == backColor)
		return;
	backColor = color;
	invalid ();
}

void CTextLabel::setHoriAlign (CHoriTxtAlign align)
{
	if (align == horiAlign)
		return;
	horiAlign = align;
	invalid ();
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
