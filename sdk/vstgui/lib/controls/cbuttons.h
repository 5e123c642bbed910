#pragma once

#include "ccontrol.h"

namespace VSTGUI {

// Two-state button: a left click toggles between min (off) and max (on).
// With a background bitmap, the upper half is the off image and the lower half the on image.
class COnOffButton : public CControl
{
public:
	COnOffButton (const CRect& size, IControlListener* listener = nullptr, int32 tag = -1,
	              CBitmap* background = nullptr);
	COnOffButton (const COnOffButton& other) = default;

	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	int32 onKeyDown (VstKeyCode& keyCode) override;
	bool sizeToFit () override;
	CView* newCopy () const override { return new COnOffButton (*this); }

	bool isOn () const { return getValue () == getMax (); }

private:
	void toggle ();
};

} // namespace VSTGUI
