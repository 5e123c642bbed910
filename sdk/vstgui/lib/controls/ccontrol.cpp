#include "ccontrol.h"
#include "../cbitmap.h"
#include <algorithm>
#include <cmath>

namespace VSTGUI {

int32 CControl::kZoomModifier = kShift;
int32 CControl::kDefaultValueModifier = kAlt;

CControl::CControl (const CRect& size, IControlListener* listener, int32 tag, CBitmap* background)
: CView (size), tag (tag), listener (listener)
{
	setBackground (background);
}

CControl::CControl (const CControl& other)
: CView (other)
, value (other.value)
, vmin (other.vmin)
, vmax (other.vmax)
, defaultValue (other.defaultValue)
, wheelInc (other.wheelInc)
, drawnValue (other.drawnValue)
, tag (other.tag)
, listener (other.listener)
{
}

CControl::~CControl () noexcept { endOpenEdits (); }

void CControl::beforeDelete ()
{
	endOpenEdits ();
	CView::beforeDelete ();
}

bool CControl::removed (CView* parent)
{
	endOpenEdits ();
	return CView::removed (parent);
}

void CControl::endOpenEdits ()
{
	while (editing > 0)
		endEdit ();
}

template <class F>
void CControl::notifyListeners (F&& f)
{
	if (listener)
		f (listener);
	auto listeners = subListeners;
	for (auto* l : listeners)
	{
		if (std::find (subListeners.begin (), subListeners.end (), l) != subListeners.end ())
			f (l);
	}
}

void CControl::setValue (float val)
{
	if (std::isnan (val))
		val = getMin ();
	if (val < getMin ())
		val = getMin ();
	else if (val > getMax ())
		val = getMax ();
	value = val;
}

void CControl::setValueNormalized (float v)
{
	if (!(v >= 0.f)) // also NaN
		v = 0.f;
	else if (v > 1.f)
		v = 1.f;
	setValue (getRange () * v + getMin ());
}

float CControl::getValueNormalized () const
{
	const float range = getRange ();
	if (range == 0.f || std::isnan (range))
		return 0.f;
	return (getValue () - getMin ()) / range;
}

void CControl::setMin (float val) { vmin = val; }

void CControl::setMax (float val) { vmax = val; }

void CControl::bounceValue ()
{
	if (std::isnan (value) || value < getMin ())
		value = getMin ();
	else if (value > getMax ())
		value = getMax ();
}

void CControl::valueChanged ()
{
	notifyListeners ([this] (IControlListener* l) { l->valueChanged (this); });
}

void CControl::beginEdit ()
{
	if (++editing != 1)
		return;
	notifyListeners ([this] (IControlListener* l) { l->controlBeginEdit (this); });
}

void CControl::endEdit ()
{
	if (editing <= 0)
	{
		vstgui_assert (editing > 0, "endEdit without beginEdit");
		return;
	}
	if (--editing != 0)
		return;
	notifyListeners ([this] (IControlListener* l) { l->controlEndEdit (this); });
}

bool CControl::checkDefaultValue (CButtonState button)
{
	if (button.getButtonState () != kLButton || button.getModifierState () != kDefaultValueModifier)
		return false;
	const float defValue = getDefaultValue ();
	if (defValue == getValue ())
		return true;
	beginEdit ();
	setValue (defValue);
	valueChanged ();
	endEdit ();
	setDirty (true);
	return true;
}

void CControl::setDirty (bool state)
{
	CView::setDirty (state);
	if (!state)
		drawnValue = value;
}

bool CControl::isDirty () const { return CView::isDirty () || value != drawnValue; }

void CControl::setTag (int32 val)
{
	if (val == tag)
		return;
	notifyListeners ([this] (IControlListener* l) { l->controlTagWillChange (this); });
	tag = val;
	notifyListeners ([this] (IControlListener* l) { l->controlTagDidChange (this); });
}

void CControl::registerControlListener (IControlListener* l)
{
	if (!l)
		return;
	vstgui_assert (l != listener, "the control's own listener is registered again");
	if (std::find (subListeners.begin (), subListeners.end (), l) == subListeners.end ())
		subListeners.push_back (l);
}

void CControl::unregisterControlListener (IControlListener* l)
{
	subListeners.erase (std::remove (subListeners.begin (), subListeners.end (), l),
	                    subListeners.end ());
}

int32 CControl::mapVstKeyModifier (int32 vstModifier)
{
	int32 state = 0;
	if (vstModifier & MODIFIER_SHIFT)
		state |= kShift;
	if (vstModifier & MODIFIER_ALTERNATE)
		state |= kAlt;
	if (vstModifier & MODIFIER_COMMAND)
		state |= kControl;
	if (vstModifier & MODIFIER_CONTROL)
		state |= kApple;
	return state;
}

} // namespace VSTGUI
