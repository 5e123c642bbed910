#pragma once

#include "cparamdisplay.h"

namespace VSTGUI {

// A display that shows a text of its own instead of its value.
class CTextLabel : public CParamDisplay
{
public:
	CTextLabel (const CRect& size, UTF8StringPtr text = nullptr, CBitmap* background = nullptr);
	CTextLabel (const CTextLabel& other) = default;

	// Redraws only when the text changes.
	virtual void setText (const UTF8String& text);
	const UTF8String& getText () const { return text; }

	std::string getDisplayText () const override { return text.getString (); }
	CView* newCopy () const override { return new CTextLabel (*this); }

private:
	UTF8String text;
};

} // namespace VSTGUI
