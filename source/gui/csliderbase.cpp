// Slider base: state, modes, mouse tracking, ramp, geometry, wheel and keys.
#include "cslider.h"

#include "vstgui/lib/cframe.h"

#include <cmath>
#include <limits>

namespace VSTGUI {

//------------------------------------------------------------------------
const std::string* getModeStrings ()
{
	static const std::string names[kNumSliderModes] = {
	    "touch", "relative touch", "free click", "KW free click", "ramp", "use global"};
	return names;
}

//------------------------------------------------------------------------
const std::string* getSliderModeName (CSliderMode mode)
{
	auto index = static_cast<int32_t> (mode);
	if (index < 0 || index >= kNumSliderModes)
		return nullptr;
	return &getModeStrings ()[index];
}

CSliderMode CSliderBase::globalMode = CSliderMode::KWFreeClick;

//------------------------------------------------------------------------
struct CSliderBase::Impl
{
	SharedPointer<CVSTGUITimer> rampTimer;
	int32_t style {0};
	float zoomFactor {10.f};
	CSliderMode sliderMode {CSliderMode::UseGlobal};
	CPoint offsetHandle {0., 0.};
	CCoord handleWidth {1.};
	CCoord handleHeight {1.};
	CCoord rangeHandle {0.};
	CCoord minPos {0.};
	CCoord maxPos {0.};
	CCoord handleMinPos {0.};
	CPoint mouseStartPoint {0., 0.};
	// Written by every mouse-down before use. Until the first one, a cancel keeps the
	// current value.
	float oldValue {0.f};
	float startValue {std::numeric_limits<float>::quiet_NaN ()};
	// The value the listener last heard of during a gesture. Changes are reported against
	// it, not against the value last drawn, so that a move back to the drawn value
	// without a paint in between still reaches the listener.
	float heardValue {0.f};
	int32_t oldButtons {0};
	CCoord grabDelta {0.};
};

namespace {

// Truncation toward zero into the 32-bit range; NaN gives 0.
int32_t truncToInt32 (double v)
{
	if (std::isnan (v))
		return 0;
	if (v >= 2147483647.)
		return 2147483647;
	if (v <= -2147483648.)
		return -2147483647 - 1;
	return static_cast<int32_t> (v);
}

} // namespace

//------------------------------------------------------------------------
CSliderBase::CSliderBase (const CRect& size, IControlListener* listener, int32_t tag)
: CControl (size, listener, tag, nullptr)
, impl (new Impl)
, self (std::make_shared<CSliderBase*> (this))
{
}

//------------------------------------------------------------------------
CSliderBase::CSliderBase (const CSliderBase& other)
: CControl (other)
, CMouseWheelEditingSupport ()
, impl (new Impl (*other.impl))
, self (std::make_shared<CSliderBase*> (this))
{
	// The original's ramp belongs to the original's gesture; the copy starts idle.
	impl->rampTimer = nullptr;
}

//------------------------------------------------------------------------
CSliderBase::~CSliderBase () noexcept
{
	impl->rampTimer = nullptr;
}

//------------------------------------------------------------------------
void CSliderBase::stopRamp ()
{
	if (impl->rampTimer)
		impl->rampTimer->stop ();
	impl->rampTimer = nullptr;
}

//------------------------------------------------------------------------
bool CSliderBase::takeUnheardChange ()
{
	if (value == impl->heardValue)
		return false;
	impl->heardValue = value;
	return true;
}

//------------------------------------------------------------------------
bool CSliderBase::removed (CView* parent)
{
	invalidMouseWheelEditTimer (this);
	stopRamp ();
	return CControl::removed (parent);
}

//------------------------------------------------------------------------
void CSliderBase::setStyle (int32_t style)
{
	// Exactly one orientation bit is expected; anything else is reported and kept.
	vstgui_assert (((style & kHorizontal) != 0) != ((style & kVertical) != 0));
	impl->style = style;
}

int32_t CSliderBase::getStyle () const { return impl->style; }
bool CSliderBase::isStyleHorizontal () const { return (impl->style & kHorizontal) != 0; }
bool CSliderBase::isStyleRight () const { return (impl->style & kRight) != 0; }
bool CSliderBase::isStyleBottom () const { return (impl->style & kBottom) != 0; }

//------------------------------------------------------------------------
bool CSliderBase::isInverseStyle () const
{
	if (isStyleHorizontal ())
		return isStyleRight ();
	return (impl->style & kTop) != 0;
}

void CSliderBase::setZoomFactor (float factor) { impl->zoomFactor = factor; }
float CSliderBase::getZoomFactor () const { return impl->zoomFactor; }
void CSliderBase::setSliderMode (CSliderMode mode) { impl->sliderMode = mode; }
CSliderMode CSliderBase::getSliderMode () const { return impl->sliderMode; }

//------------------------------------------------------------------------
CSliderMode CSliderBase::getEffectiveSliderMode () const
{
	if (impl->sliderMode == CSliderMode::UseGlobal)
		return globalMode;
	return impl->sliderMode;
}

//------------------------------------------------------------------------
void CSliderBase::setGlobalMode (CSliderMode mode)
{
	if (mode == CSliderMode::UseGlobal)
		vstgui_assert (false, "do not set the global mode to use global");
	globalMode = mode;
}

CSliderMode CSliderBase::getGlobalMode () { return globalMode; }

//------------------------------------------------------------------------
void CSliderBase::setOffsetHandle (const CPoint& offset)
{
	impl->offsetHandle = offset;
	updateInternalHandleValues ();
}

CPoint CSliderBase::getOffsetHandle () const { return impl->offsetHandle; }

//------------------------------------------------------------------------
void CSliderBase::setHandleSizePrivate (CCoord width, CCoord height)
{
	impl->handleWidth = width;
	impl->handleHeight = height;
	updateInternalHandleValues ();
}

CPoint CSliderBase::getHandleSizePrivate () const
{
	return CPoint (impl->handleWidth, impl->handleHeight);
}

void CSliderBase::setHandleRangePrivate (CCoord range)
{
	impl->rangeHandle = range;
	updateInternalHandleValues ();
}

CCoord CSliderBase::getHandleRangePrivate () const { return impl->rangeHandle; }

void CSliderBase::setHandleMinPosPrivate (CCoord pos)
{
	impl->handleMinPos = pos;
	updateInternalHandleValues ();
}

CCoord CSliderBase::getHandleMinPosPrivate () const { return impl->handleMinPos; }
CCoord CSliderBase::getMinPosPrivate () const { return impl->minPos; }
CCoord CSliderBase::getMaxPosPrivate () const { return impl->maxPos; }

CPoint CSliderBase::getControlSizePrivate () const
{
	return CPoint (getViewSize ().getWidth (), getViewSize ().getHeight ());
}

bool CSliderBase::isRamping () const { return impl->rampTimer != nullptr; }

//------------------------------------------------------------------------
void CSliderBase::updateInternalHandleValues ()
{
	if (isStyleHorizontal ())
	{
		impl->minPos = impl->handleMinPos + impl->offsetHandle.x;
		impl->maxPos = (impl->rangeHandle + impl->minPos) + impl->handleWidth;
	}
	else
	{
		impl->minPos = impl->handleMinPos + impl->offsetHandle.y;
		impl->maxPos = (impl->rangeHandle + impl->minPos) + impl->handleHeight;
	}
}

//------------------------------------------------------------------------
float CSliderBase::calculateDelta (const CPoint& where, CRect* handleRect) const
{
	const Impl& d = *impl;
	const CRect& view = getViewSize ();
	const bool horizontal = isStyleHorizontal ();
	const double base = horizontal ? view.left + d.offsetHandle.x : view.top + d.offsetHandle.y;
	const double size = horizontal ? d.handleWidth : d.handleHeight;
	const double centred = base + (size * 0.5 - 1.);

	if (getEffectiveSliderMode () == CSliderMode::FreeClick)
		return static_cast<float> (centred);

	float n = getValueNormalized ();
	if (isStyleRight () || isStyleBottom ())
		n = 1.f - n;
	const double p = base + truncToInt32 (static_cast<double> (n) * d.rangeHandle);

	CRect r;
	if (horizontal)
	{
		r.left = p;
		r.top = view.top + d.offsetHandle.y;
		r.right = p + d.handleWidth;
		r.bottom = r.top + d.handleHeight;
	}
	else
	{
		r.left = view.left + d.offsetHandle.x;
		r.top = p;
		r.right = r.left + d.handleWidth;
		r.bottom = p + d.handleHeight;
	}
	if (handleRect)
		*handleRect = r;

	const double along = horizontal ? where.x : where.y;
	double result;
	if (getEffectiveSliderMode () == CSliderMode::KWFreeClick && !r.pointInside (where))
		result = centred;
	else
		result = (along - p) + base;
	return static_cast<float> (result);
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!(buttons & kLButton))
		return kMouseEventNotHandled;

	invalidMouseWheelEditTimer (this);

	CRect handleRect (0., 0., 0., 0.);
	impl->grabDelta = calculateDelta (
	    where, getEffectiveSliderMode () != CSliderMode::FreeClick ? &handleRect : nullptr);

	const bool onHandle = handleRect.pointInside (where);
	if (getEffectiveSliderMode () == CSliderMode::Touch && !onHandle)
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	impl->oldValue = getMin () - 1.f;
	impl->oldButtons = buttons ();

	if (!(getEffectiveSliderMode () == CSliderMode::RelativeTouch && !onHandle))
	{
		if (checkDefaultValue (buttons))
			return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}

	if (getEffectiveSliderMode () == CSliderMode::Ramp && !onHandle)
	{
		stopRamp ();
		std::weak_ptr<CSliderBase*> owner = self;
		auto* frame = getFrame ();
		impl->rampTimer = makeOwned<CVSTGUITimer> (
		    [owner] (CVSTGUITimer* timer) {
			    if (auto slider = owner.lock ())
			    {
				    // A step may close the frame and release the slider.
				    SharedPointer<CSliderBase> keep (*slider);
				    (*slider)->doRamping ();
			    }
			    else if (timer)
				    timer->stop ();
		    },
		    16, frame ? frame->getRunLoop () : nullptr, true);
	}

	impl->startValue = getValue ();
	impl->heardValue = impl->startValue;
	beginEdit ();
	impl->mouseStartPoint = where;

	if (buttons & kZoomModifier)
		return kMouseEventHandled;
	// The edit is open: the frame must send the release that closes it, even when the
	// first move is refused (another button held with the left one).
	auto result = onMouseMoved (where, buttons);
	if (result == kMouseEventNotHandled)
		result = kMouseEventHandled;
	return result;
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (buttons.getButtonState () != kLButton || !isEditing ())
		return kMouseEventNotHandled;

	Impl& d = *impl;
	if (d.rampTimer)
	{
		d.mouseStartPoint = where;
		return kMouseEventHandled;
	}

	auto current = [this] () { return (value - getMin ()) / (getMax () - getMin ()); };
	if (d.oldValue == getMin () - 1.f)
		d.oldValue = current ();

	const bool zoom = (buttons & kZoomModifier) != 0;
	if (buttons () != d.oldButtons && zoom)
	{
		d.oldValue = current ();
		d.oldButtons = buttons ();
	}
	else if (!zoom)
	{
		d.oldValue = current ();
	}

	const double along = isStyleHorizontal () ? where.x : where.y;
	float n = static_cast<float> (along - d.grabDelta) / static_cast<float> (d.rangeHandle);
	if (isStyleRight () || isStyleBottom ())
		n = 1.f - n;
	if (zoom)
		n = (n - d.oldValue) / d.zoomFactor + d.oldValue;

	setValueNormalized (n);
	if (takeUnheardChange ())
		valueChanged ();
	if (isDirty ())
		invalid ();
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseUp (CPoint&, const CButtonState&)
{
	if (isEditing ())
	{
		impl->oldButtons = 0;
		stopRamp ();
		endEdit ();
	}
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseCancel ()
{
	if (isEditing ())
	{
		if (!std::isnan (impl->startValue))
			value = impl->startValue;
		if (takeUnheardChange ())
			valueChanged ();
		if (isDirty ())
			invalid ();
		impl->oldButtons = 0;
		stopRamp ();
		endEdit ();
	}
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
void CSliderBase::doRamping ()
{
	Impl& d = *impl;
	const float v = getValueNormalized ();
	const CRect r = calculateHandleRect (v);
	const bool horizontal = isStyleHorizontal ();

	float step;
	if (horizontal)
	{
		const double c = r.left + (r.right - r.left) * 0.5;
		step = c > d.mouseStartPoint.x ? -0.1f : 0.1f;
	}
	else
	{
		const double c = r.top + (r.bottom - r.top) * 0.5;
		step = c > d.mouseStartPoint.y ? 0.1f : -0.1f;
	}
	if (isInverseStyle ())
		step = -step;

	const CRect& view = getViewSize ();
	const double base = horizontal ? view.left + d.offsetHandle.x : view.top + d.offsetHandle.y;
	const double size = horizontal ? d.handleWidth : d.handleHeight;
	const double centred = (size * 0.5 + base) - 1.;

	const double along = horizontal ? d.mouseStartPoint.x : d.mouseStartPoint.y;
	float target = static_cast<float> (along - centred) / static_cast<float> (d.rangeHandle);
	if (isStyleRight () || isStyleBottom ())
		target = 1.f - target;

	float next = getWheelInc () * step + v;
	if ((step < 0.f && target > next) || (step > 0.f && target < next))
	{
		stopRamp ();
		d.grabDelta = centred;
		next = target;
	}

	setValueNormalized (next);
	if (takeUnheardChange ())
		valueChanged ();
	if (isDirty ())
		invalid ();
}

//------------------------------------------------------------------------
void CSliderBase::setViewSize (const CRect& rect, bool doInvalid)
{
	CControl::setViewSize (rect, doInvalid);
	Impl& d = *impl;
	if (isStyleHorizontal ())
	{
		d.handleMinPos = rect.left - getViewSize ().left;
		d.rangeHandle = (rect.getWidth () - d.handleWidth) - 2. * d.offsetHandle.x;
	}
	else
	{
		d.handleMinPos = rect.top - getViewSize ().top;
		d.rangeHandle = (rect.getHeight () - d.handleHeight) - 2. * d.offsetHandle.y;
	}
	updateInternalHandleValues ();
}

//------------------------------------------------------------------------
CRect CSliderBase::calculateHandleRect (float normValue) const
{
	const Impl& d = *impl;
	if (isStyleRight () || isStyleBottom ())
		normValue = 1.f - normValue;
	const double travel = std::floor (static_cast<double> (normValue) * d.rangeHandle);

	CRect r;
	if (isStyleHorizontal ())
	{
		r.top = d.offsetHandle.y;
		r.left = travel + d.offsetHandle.x;
		if (r.left < d.minPos)
			r.left = d.minPos;
		r.right = r.left + d.handleWidth;
		if (r.right > d.maxPos)
			r.right = d.maxPos;
		r.bottom = r.top + d.handleHeight;
	}
	else
	{
		r.left = d.offsetHandle.x;
		r.top = travel + d.offsetHandle.y;
		if (r.top < d.minPos)
			r.top = d.minPos;
		r.bottom = r.top + d.handleHeight;
		if (r.bottom > d.maxPos)
			r.bottom = d.maxPos;
		r.right = r.left + d.handleWidth;
	}
	r.offset (getViewSize ().left, getViewSize ().top);
	return r;
}

//------------------------------------------------------------------------
bool CSliderBase::onWheel (const CPoint&, const CMouseWheelAxis& axis, const float& distance,
                           const CButtonState& buttons)
{
	if (!hasViewFlag (kMouseEnabled))
		return false;
	const bool horizontal = isStyleHorizontal ();
	if (horizontal && axis != kMouseWheelAxisX)
		return false;
	if (!horizontal && axis != kMouseWheelAxisY)
		return false;

	// A cancel during the wheel edit restores the value from before it.
	if (!isEditing ())
		impl->startValue = getValue ();
	onMouseWheelEditing (this);
	impl->heardValue = getValue ();

	float d = distance;
	if (horizontal)
		d = -d;
	if (isInverseStyle ())
		d = -d;
	const float v = getValueNormalized ();
	if (buttons & kZoomModifier)
		d *= 0.1f;
	setValueNormalized (v + getWheelInc () * d);
	if (isDirty ())
		invalid ();
	if (takeUnheardChange ())
		valueChanged ();
	return true;
}

//------------------------------------------------------------------------
int32_t CSliderBase::onKeyDown (VstKeyCode& keyCode)
{
	switch (keyCode.virt)
	{
		case VKEY_LEFT:
		case VKEY_UP:
		case VKEY_RIGHT:
		case VKEY_DOWN:
		{
			float step = (keyCode.virt == VKEY_DOWN || keyCode.virt == VKEY_LEFT) ? -1.f : 1.f;
			if (isInverseStyle ())
				step = -step;
			const float v = getValueNormalized ();
			if (mapVstKeyModifier (keyCode.modifier) & kZoomModifier)
				step *= 0.1f;
			impl->heardValue = getValue ();
			setValueNormalized (v + getWheelInc () * step);
			if (isDirty ())
				invalid ();
			if (takeUnheardChange ())
			{
				beginEdit ();
				valueChanged ();
				endEdit ();
			}
			return 1;
		}
		case VKEY_ESCAPE:
		{
			if (isEditing ())
			{
				onMouseCancel ();
				return 1;
			}
			return -1;
		}
		default: break;
	}
	return -1;
}

} // namespace VSTGUI
