#include "cview.h"
#include "cbitmap.h"
#include "cframe.h"
#include "../uidescription/icontroller.h"
#include "cdrawcontext.h"
#include "iviewlistener.h"
#include <algorithm>

namespace VSTGUI {

namespace {

// Holds bitmap in slot: the new one is remembered, the old one forgotten.
void holdBitmap (CBitmap*& slot, CBitmap* bitmap)
{
	if (bitmap == slot)
		return;
	if (bitmap)
		bitmap->remember ();
	if (slot)
		slot->forget ();
	slot = bitmap;
}

} // namespace

CView::CView (const CRect& size) : size (size), mouseableArea (size) {}

CView::CView (const CView& other)
: CBaseObject (other)
, size (other.size)
, mouseableArea (other.mouseableArea)
, viewFlags (other.viewFlags)
{
	setBackground (other.background);
	setDisabledBackground (other.disabledBackground);
}

CView::~CView () noexcept
{
	if (!deleteNotified)
		beforeDelete ();
	setBackground (nullptr);
	setDisabledBackground (nullptr);
}

void CView::beforeDelete ()
{
	deleteNotified = true;
	forEachViewListener ([this] (IViewListener* l) { l->viewWillDelete (this); });
	viewListeners.clear ();
	setController (nullptr);
}

void CView::setController (IController* newController)
{
	if (newController == controller)
		return;
	delete controller;
	controller = newController;
}

template <class F>
void CView::forEachViewListener (F&& f)
{
	// A listener may unregister itself or others while being told; the removed
	// ones are not told any more.
	auto listeners = viewListeners;
	for (auto* l : listeners)
	{
		if (std::find (viewListeners.begin (), viewListeners.end (), l) != viewListeners.end ())
			f (l);
	}
}

void CView::draw (CDrawContext* context)
{
	if (auto* bitmap = getDrawBackground ())
		bitmap->draw (context, getViewSize ());
	setDirty (false);
}

void CView::drawRect (CDrawContext* context, const CRect&) { draw (context); }

void CView::setDirty (bool state)
{
	setViewFlag (kDirty, state);
	if (state)
		invalid ();
}

void CView::invalidRect (const CRect& rect)
{
	++invalidCount;
	if (!parentView || !isVisible ())
		return;
	CRect r (rect);
	parentView->invalidRect (r.offset (parentView->getViewSize ().getTopLeft ()));
}

CView* CView::getParentView () const { return parentView; }

CFrame* CView::getFrame () const { return parentView ? parentView->getFrame () : nullptr; }

bool CView::attached (CView*)
{
	if (attachedToFrame)
		return false;
	attachedToFrame = true;
	return true;
}

bool CView::removed (CView*)
{
	if (!attachedToFrame)
		return false;
	attachedToFrame = false;
	return true;
}

CPoint& CView::frameToLocal (CPoint& point) const
{
	for (auto* p = parentView; p; p = p->parentView)
		point.offsetInverse (p->getViewSize ().getTopLeft ());
	return point;
}

CPoint& CView::localToFrame (CPoint& point) const
{
	for (auto* p = parentView; p; p = p->parentView)
		point.offset (p->getViewSize ().getTopLeft ());
	return point;
}

CMouseEventResult CView::onMouseDown (CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp (CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved (CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseCancel () { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered (CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited (CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }

bool CView::onWheel (const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
	return false;
}

int32 CView::onKeyDown (VstKeyCode&) { return -1; }
int32 CView::onKeyUp (VstKeyCode&) { return -1; }

void CView::setMouseEnabled (bool state)
{
	if (state == getMouseEnabled ())
		return;
	setViewFlag (kMouseEnabled, state);
	// The drawn background may change with it.
	if (disabledBackground)
		invalid ();
}

void CView::setVisible (bool state)
{
	if (state == isVisible ())
		return;
	setViewFlag (kVisible, state);
	invalid ();
}

void CView::setViewSize (const CRect& rect, bool doInvalid)
{
	if (rect == size)
		return;
	const CRect oldSize = size;
	if (doInvalid)
		invalid ();
	size = rect;
	// A mouseable area that followed the view keeps following it.
	if (mouseableArea == oldSize)
		mouseableArea = rect;
	if (doInvalid)
		invalid ();
	forEachViewListener ([&] (IViewListener* l) { l->viewSizeChanged (this, oldSize); });
}

bool CView::hitTest (const CPoint& where, const CButtonState&)
{
	return mouseableArea.pointInside (where);
}

void CView::setBackground (CBitmap* bitmap)
{
	holdBitmap (background, bitmap);
}

void CView::setDisabledBackground (CBitmap* bitmap)
{
	holdBitmap (disabledBackground, bitmap);
}

CBitmap* CView::getDrawBackground () const
{
	if (!getMouseEnabled () && disabledBackground)
		return disabledBackground;
	return background;
}

void CView::registerViewListener (IViewListener* listener)
{
	if (!listener)
		return;
	if (std::find (viewListeners.begin (), viewListeners.end (), listener) == viewListeners.end ())
		viewListeners.push_back (listener);
}

void CView::unregisterViewListener (IViewListener* listener)
{
	viewListeners.erase (std::remove (viewListeners.begin (), viewListeners.end (), listener),
	                     viewListeners.end ());
}

} // namespace VSTGUI
