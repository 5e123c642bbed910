#pragma once

#include "ccontrol.h"
#include "../ccolor.h"
#include "../cfont.h"
#include "../cstring.h"
#include <functional>
#include <string>

namespace VSTGUI {

// Shows its value as one line of UTF-8 text over its background bitmap or back colour.
class CParamDisplay : public CControl
{
public:
	// Writes the text of value into result; false leaves the display empty.
	using ValueToStringFunction = std::function<bool (float value, std::string& result)>;

	explicit CParamDisplay (const CRect& size, CBitmap* background = nullptr);
	CParamDisplay (const CParamDisplay& other);

	// Without a function the value is shown with two decimals.
	void setValueToStringFunction (ValueToStringFunction function);

	void setFont (CFontRef font);
	CFontRef getFont () const { return font; }
	void setFontColor (const CColor& color);
	CColor getFontColor () const { return fontColor; }
	void setBackColor (const CColor& color);
	CColor getBackColor () const { return backColor; }
	void setHoriAlign (CHoriTxtAlign align);
	CHoriTxtAlign getHoriAlign () const { return horiAlign; }

	// The text drawn for the current value.
	virtual std::string getDisplayText () const;

	void draw (CDrawContext* context) override;
	bool sizeToFit () override;
	CView* newCopy () const override { return new CParamDisplay (*this); }

private:
	ValueToStringFunction valueToString;
	SharedPointer<CFontDesc> font;
	CColor fontColor {kWhiteCColor};
	CColor backColor {kBlackCColor};
	CHoriTxtAlign horiAlign {kCenterText};
};

} // namespace VSTGUI
