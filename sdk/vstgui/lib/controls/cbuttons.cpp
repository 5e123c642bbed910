#include "cbuttons.h"
#include "../cbitmap.h"
#include "../cdrawcontext.h"

namespace VSTGUI {

COnOffButton::COnOffButton (const CRect& size, IControlListener* listener, int32 tag,
                            CBitmap* background)
: CControl (size, listener, tag, background)
{
	setWantsFocus (true);
}

void COnOffButton::draw (CDrawContext* context)
{
	if (!context)
		return;
	const CRect& r = getViewSize ();
	if (auto* bitmap = getDrawBackground ())
	{
		const CCoord offY = isOn () ? bitmap->getHeight () / 2. : 0.;
		bitmap->draw (context, r, CPoint (0., offY));
	}
	else
	{
		context->setDrawMode (kAliasing);
		context->setLineWidth (1.);
		context->setFrameColor (kGreyCColor);
		context->setFillColor (isOn () ? kWhiteCColor : kBlackCColor);
		context->drawRect (r, kDrawFilled);
		context->drawRect (CRect (r.left, r.top, r.right - 1., r.bottom - 1.), kDrawStroked);
	}
	setDirty (false);
}

void COnOffButton::toggle ()
{
	beginEdit ();
	setValue (isOn () ? getMin () : getMax ());
	invalid ();
	valueChanged ();
	endEdit ();
}

CMouseEventResult COnOffButton::onMouseDown (CPoint&, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	toggle ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32 COnOffButton::onKeyDown (VstKeyCode& keyCode)
{
	if (keyCode.modifier == 0 && (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_SPACE))
	{
		toggle ();
		return 1;
	}
	return -1;
}

bool COnOffButton::sizeToFit ()
{
	auto* bitmap = getDrawBackground ();
	if (!bitmap || !bitmap->isLoaded ())
		return false;
	CRect r (getViewSize ());
	r.setWidth (bitmap->getWidth ());
	r.setHeight (bitmap->getHeight () / 2.);
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

} // namespace VSTGUI
