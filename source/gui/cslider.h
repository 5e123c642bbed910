// Slider controls: mouse modes, geometry, wheel and keys, drawing.
#pragma once

#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/controls/cmousewheeleditingsupport.h"
#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/cpoint.h"
#include "vstgui/lib/crect.h"
#include "vstgui/lib/cvstguitimer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VSTGUI {

class CDrawContext;

enum class CSliderMode : int32_t
{
	Touch = 0,
	RelativeTouch = 1,
	FreeClick = 2,
	KWFreeClick = 3,
	Ramp = 4,
	UseGlobal = 5,
};

constexpr int32_t kNumSliderModes = 6;

// Description names of the slider modes, index = mode value.
const std::string* getModeStrings ();

// The name of a mode, or null for a value outside the table.
const std::string* getSliderModeName (CSliderMode mode);

//------------------------------------------------------------------------
class CSliderBase : public CControl, protected CMouseWheelEditingSupport
{
public:
	CSliderBase (const CRect& size, IControlListener* listener, int32_t tag);
	CSliderBase (const CSliderBase& other);
	~CSliderBase () noexcept override;

	enum Style : int32_t
	{
		kHorizontal = 1 << 0,
		kVertical = 1 << 1,
		kLeft = 1 << 2,
		kRight = 1 << 3,
		kTop = 1 << 4,
		kBottom = 1 << 5,
	};

	void setStyle (int32_t style);
	int32_t getStyle () const;
	bool isStyleHorizontal () const;
	bool isStyleRight () const;
	bool isStyleBottom () const;
	bool isInverseStyle () const;

	void setZoomFactor (float factor);
	float getZoomFactor () const;

	void setSliderMode (CSliderMode mode);
	CSliderMode getSliderMode () const;
	CSliderMode getEffectiveSliderMode () const;

	static void setGlobalMode (CSliderMode mode);
	static CSliderMode getGlobalMode ();

	void setOffsetHandle (const CPoint& offset);
	CPoint getOffsetHandle () const;

	CRect calculateHandleRect (float normValue) const;

	// CView / CControl
	void setViewSize (const CRect& rect, bool doInvalid = true) override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	// Leaving the frame ends a wheel edit and a ramp: their timers run on its run loop.
	bool removed (CView* parent) override;

	CView* newCopy () const override = 0;
	void draw (CDrawContext* context) override = 0;

protected:
	void setHandleSizePrivate (CCoord width, CCoord height);
	CPoint getHandleSizePrivate () const;
	void setHandleRangePrivate (CCoord range);
	CCoord getHandleRangePrivate () const;
	void setHandleMinPosPrivate (CCoord pos);
	CCoord getHandleMinPosPrivate () const;
	CCoord getMinPosPrivate () const;
	CCoord getMaxPosPrivate () const;
	CPoint getControlSizePrivate () const;
	void updateInternalHandleValues ();

	float calculateDelta (const CPoint& where, CRect* handleRect = nullptr) const;
	void doRamping ();

	bool isRamping () const;

private:
	void stopRamp ();
	// True once per change the listener has not heard yet; see Impl::heardValue.
	bool takeUnheardChange ();

	static CSliderMode globalMode;

	struct Impl;
	std::unique_ptr<Impl> impl;
	// Tells the ramp callback whether the slider that created it still exists.
	std::shared_ptr<CSliderBase*> self;
};

//------------------------------------------------------------------------
class CSlider : public CSliderBase
{
public:
	enum DrawStyle : int32_t
	{
		kDrawFrame = 1 << 0,
		kDrawBack = 1 << 1,
		kDrawValue = 1 << 2,
		kDrawValueFromCenter = 1 << 3,
		kDrawInverted = 1 << 4,
	};

	CSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos,
	         int32_t iMaxPos, CBitmap* handle, CBitmap* background,
	         const CPoint& offset, int32_t style);
	CSlider (const CRect& rect, IControlListener* listener, int32_t tag,
	         const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
	         CBitmap* background, const CPoint& offset, int32_t style);
	CSlider (const CSlider& slider);
	~CSlider () noexcept override;

	CView* newCopy () const override;
	void draw (CDrawContext* context) override;
	bool sizeToFit () override;

	virtual void setHandle (CBitmap* handle);
	virtual CBitmap* getHandle () const;
	virtual void setDrawStyle (int32_t style);
	virtual void setFrameWidth (CCoord width);
	virtual void setFrameColor (const CColor& color);
	virtual void setBackColor (const CColor& color);
	virtual void setValueColor (const CColor& color);

	int32_t getDrawStyle () const;
	CCoord getFrameWidth () const;
	CColor getFrameColor () const;
	CColor getBackColor () const;
	CColor getValueColor () const;

	void setOffset (const CPoint& offset);
	CPoint getOffset () const;

private:
	struct Impl;
	std::unique_ptr<Impl> impl;
};

//------------------------------------------------------------------------
class CVerticalSlider : public CSlider
{
public:
	CVerticalSlider (const CRect& size, IControlListener* listener, int32_t tag,
	                 int32_t iMinPos, int32_t iMaxPos, CBitmap* handle, CBitmap* background,
	                 const CPoint& offset, int32_t style);
	CVerticalSlider (const CRect& rect, IControlListener* listener, int32_t tag,
	                 const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
	                 CBitmap* background, const CPoint& offset, int32_t style);
	~CVerticalSlider () noexcept override = default;
};

//------------------------------------------------------------------------
class CHorizontalSlider : public CSlider
{
public:
	CHorizontalSlider (const CRect& size, IControlListener* listener, int32_t tag,
	                   int32_t iMinPos, int32_t iMaxPos, CBitmap* handle,
	                   CBitmap* background, const CPoint& offset, int32_t style);
	CHorizontalSlider (const CRect& rect, IControlListener* listener, int32_t tag,
	                   const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
	                   CBitmap* background, const CPoint& offset, int32_t style);
	~CHorizontalSlider () noexcept override = default;
};

} // namespace VSTGUI
