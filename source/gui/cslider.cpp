// Concrete slider: construction, copies, appearance and drawing.
#include "cslider.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cgraphicspath.h"

#include <cmath>

namespace VSTGUI {

//------------------------------------------------------------------------
struct CSlider::Impl
{
	CPoint backgroundOffset {0., 0.};
	CBitmap* handleBitmap {nullptr};
	CCoord frameWidth {1.};
	int32_t drawStyle {0};
	CColor frameColor {127, 127, 127, 255};
	CColor backColor {0, 0, 0, 255};
	CColor valueColor {255, 255, 255, 255};
};

//------------------------------------------------------------------------
CSlider::CSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos,
                  int32_t iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset,
                  int32_t style)
: CSliderBase (size, listener, tag)
, impl (new Impl)
{
	impl->backgroundOffset = offset;
	setBackground (background);
	setStyle (style);
	setHandle (handle);

	const CCoord nearEdge = isStyleHorizontal () ? size.left : size.top;
	setHandleMinPosPrivate (static_cast<CCoord> (iMinPos) - nearEdge);
	setHandleRangePrivate (static_cast<CCoord> (iMaxPos) - static_cast<CCoord> (iMinPos));
	setWantsFocus (true);
}

//------------------------------------------------------------------------
CSlider::CSlider (const CRect& rect, IControlListener* listener, int32_t tag,
                  const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
                  CBitmap* background, const CPoint& offset, int32_t style)
: CSliderBase (rect, listener, tag)
, impl (new Impl)
{
	impl->backgroundOffset = offset;
	setBackground (background);
	setStyle (style);
	setHandle (handle);

	const CPoint handleSize = getHandleSizePrivate ();
	const CCoord along = isStyleHorizontal () ? handleSize.x : handleSize.y;
	setHandleRangePrivate (static_cast<CCoord> (rangeHandle) - along);
	setOffsetHandle (offsetHandle);
	setWantsFocus (true);
}

//------------------------------------------------------------------------
CSlider::CSlider (const CSlider& slider)
: CSliderBase (slider)
, impl (new Impl (*slider.impl))
{
	if (impl->handleBitmap)
		impl->handleBitmap->remember ();
}

//------------------------------------------------------------------------
CSlider::~CSlider () noexcept
{
	if (impl->handleBitmap)
		impl->handleBitmap->forget ();
}

//------------------------------------------------------------------------
CView* CSlider::newCopy () const { return new CSlider (*this); }

//------------------------------------------------------------------------
bool CSlider::sizeToFit ()
{
	CBitmap* background = getDrawBackground ();
	if (!background)
		return false;
	CRect r = getViewSize ();
	r.right = r.left + background->getWidth ();
	r.bottom = r.top + background->getHeight ();
	setViewSize (r, true);
	setMouseableArea (r);
	return true;
}

void CSlider::setOffset (const CPoint& offset) { impl->backgroundOffset = offset; }
CPoint CSlider::getOffset () const { return impl->backgroundOffset; }

//------------------------------------------------------------------------
void CSlider::setHandle (CBitmap* handle)
{
	if (handle != impl->handleBitmap)
	{
		if (impl->handleBitmap)
			impl->handleBitmap->forget ();
		impl->handleBitmap = handle;
		if (handle)
			handle->remember ();
	}
	if (handle)
	{
		setHandleSizePrivate (handle->getWidth (), handle->getHeight ());
		CSliderBase::setViewSize (getViewSize (), true);
	}
	else
	{
		setHandleSizePrivate (1., 1.);
	}
}

CBitmap* CSlider::getHandle () const { return impl->handleBitmap; }

//------------------------------------------------------------------------
void CSlider::setDrawStyle (int32_t style)
{
	if (style == impl->drawStyle)
		return;
	impl->drawStyle = style;
	invalid ();
}

//------------------------------------------------------------------------
void CSlider::setFrameWidth (CCoord width)
{
	if (std::isnan (width) || width == impl->frameWidth)
		return;
	impl->frameWidth = width;
	invalid ();
}

//------------------------------------------------------------------------
void CSlider::setFrameColor (const CColor& color)
{
	if (color == impl->frameColor)
		return;
	impl->frameColor = color;
	invalid ();
}

//------------------------------------------------------------------------
void CSlider::setBackColor (const CColor& color)
{
	if (color == impl->backColor)
		return;
	impl->backColor = color;
	invalid ();
}

//------------------------------------------------------------------------
void CSlider::setValueColor (const CColor& color)
{
	if (color == impl->valueColor)
		return;
	impl->valueColor = color;
	invalid ();
}

int32_t CSlider::getDrawStyle () const { return impl->drawStyle; }
CCoord CSlider::getFrameWidth () const { return impl->frameWidth; }
CColor CSlider::getFrameColor () const { return impl->frameColor; }
CColor CSlider::getBackColor () const { return impl->backColor; }
CColor CSlider::getValueColor () const { return impl->valueColor; }

//------------------------------------------------------------------------
void CSlider::draw (CDrawContext* context)
{
	const Impl& d = *impl;

	if (CBitmap* background = getDrawBackground ())
	{
		CRect r (0., 0., getViewSize ().getWidth (), getViewSize ().getHeight ());
		r.offset (getViewSize ().left, getViewSize ().top);
		background->draw (context, r, d.backgroundOffset, 1.f);
	}

	if (d.drawStyle != 0)
	{
		const bool frame = (d.drawStyle & kDrawFrame) != 0;
		const bool back = (d.drawStyle & kDrawBack) != 0;
		const CCoord lineWidth = d.frameWidth < 0. ? context->getHairlineSize () : d.frameWidth;
		CRect r = getViewSize ();

		context->setDrawMode (kAntiAliasing);
		context->setLineStyle (kLineSolid);
		context->setLineWidth (lineWidth);

		if (frame || back)
		{
			context->setFrameColor (d.frameColor);
			context->setFillColor (d.backColor);
			if (CGraphicsPath* path = context->createGraphicsPath ())
			{
				if (frame)
					r.inset (lineWidth / 2., lineWidth / 2.);
				path->addRect (r);
				if (back)
					context->drawGraphicsPath (path, CDrawContext::kPathFilled);
				if (frame)
					context->drawGraphicsPath (path, CDrawContext::kPathStroked);
				path->forget ();
			}
			else
			{
				context->drawRect (r, frame && back ? kDrawFilledAndStroked
				                                    : (frame ? kDrawStroked : kDrawFilled));
			}
		}

		if (d.drawStyle & kDrawValue)
		{
			context->setDrawMode (kAliasing);
			if (frame)
				r.inset (lineWidth / 2., lineWidth / 2.);

			float v = getValueNormalized ();
			const CCoord width = r.right - r.left;
			const CCoord height = r.bottom - r.top;
			const bool inverted = (d.drawStyle & kDrawInverted) != 0;
			CRect bar (r);
			if (d.drawStyle & kDrawValueFromCenter)
			{
				if (inverted)
					v = 1.f - v;
				if (isStyleHorizontal ())
				{
					bar.left = r.left + width / 2.;
					bar.right = r.left + width * v;
				}
				else
				{
					bar.top = r.top + height / 2.;
					bar.bottom = r.top + height * v;
				}
			}
			else if (isStyleHorizontal ())
			{
				if (inverted)
					bar.left = r.right - width * v;
				else
					bar.right = r.left + width * v;
			}
			else
			{
				if (inverted)
					bar.bottom = r.top + height * v;
				else
					bar.top = r.bottom - height * v;
			}
			bar.normalize ();

			if (bar.getWidth () >= 0.5 && bar.getHeight () >= 0.5)
			{
				context->setFillColor (d.valueColor);
				if (CGraphicsPath* path = context->createGraphicsPath ())
				{
					path->addRect (bar);
					context->drawGraphicsPath (path, CDrawContext::kPathFilled);
					path->forget ();
				}
				else
				{
					context->drawRect (bar, kDrawFilled);
				}
			}
		}
	}

	if (d.handleBitmap)
	{
		const CRect handleRect = calculateHandleRect (getValueNormalized ());
		d.handleBitmap->draw (context, handleRect, CPoint (0., 0.), 1.f);
	}

	setDirty (false);
}

//------------------------------------------------------------------------
CVerticalSlider::CVerticalSlider (const CRect& size, IControlListener* listener, int32_t tag,
                                  int32_t iMinPos, int32_t iMaxPos, CBitmap* handle,
                                  CBitmap* background, const CPoint& offset, int32_t style)
: CSlider (size, listener, tag, iMinPos, iMaxPos, handle, background, offset, style | kVertical)
{
}

CVerticalSlider::CVerticalSlider (const CRect& rect, IControlListener* listener, int32_t tag,
                                  const CPoint& offsetHandle, int32_t rangeHandle,
                                  CBitmap* handle, CBitmap* background, const CPoint& offset,
                                  int32_t style)
: CSlider (rect, listener, tag, offsetHandle, rangeHandle, handle, background, offset,
           style | kVertical)
{
}

//------------------------------------------------------------------------
CHorizontalSlider::CHorizontalSlider (const CRect& size, IControlListener* listener,
                                      int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                                      CBitmap* handle, CBitmap* background,
                                      const CPoint& offset, int32_t style)
: CSlider (size, listener, tag, iMinPos, iMaxPos, handle, background, offset,
           style | kHorizontal)
{
}

CHorizontalSlider::CHorizontalSlider (const CRect& rect, IControlListener* listener,
                                      int32_t tag, const CPoint& offsetHandle,
                                      int32_t rangeHandle, CBitmap* handle,
                                      CBitmap* background, const CPoint& offset, int32_t style)
: CSlider (rect, listener, tag, offsetHandle, rangeHandle, handle, background, offset,
           style | kHorizontal)
{
}

} // namespace VSTGUI
