#pragma once

#include "ccontrol.h"
#include "../ccolor.h"
#include "../cfont.h"
#include "../cstring.h"

namespace VSTGUI {

// Shows one line of UTF-8 text over its background bitmap or back colour.
class CTextLabel : public CControl
{
public:
	CTextLabel (const CRect& size, UTF8StringPtr text = nullptr, CBitmap* background = nullptr);
	CTextLabel (const CTextLabel& other);

	// Redraws only when the text changes.
	virtual void setText (const UTF8String& text);
	const UTF8String& getText () const { return text; }

	void setFont (CFontRef font);
	CFontRef getFont () const { return font; }
	void setFontColor (const CColor& color);
	CColor getFontColor () const { return fontColor; }
	void setBackColor (const CColor& color);
	CColor getBackColor () const { return backColor; }
	void setHoriAlign (CHoriTxtAlign align);
	CHoriTxtAlign getHoriAlign () const { return horiAlign; }

	void draw (CDrawContext* context) override;
	bool sizeToFit () override;
	CView* newCopy () const override { return new CTextLabel (*this); }

private:
	UTF8String text;
	SharedPointer<CFontDesc> font;
	CColor fontColor {kWhiteCColor};
	CColor backColor {kBlackCColor};
	CHoriTxtAlign horiAlign {kCenterText};
};

} // namespace VSTGUI
