#include "cviewcontainer.h"
#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cframe.h"
#include <algorithm>

namespace VSTGUI {

CViewContainer::CViewContainer (const CRect& size) : CView (size) {}

CViewContainer::~CViewContainer () noexcept { removeAll (); }

void CViewContainer::beforeDelete ()
{
	// Children go first, so that a controller owned by this view outlives them.
	removeAll ();
	CView::beforeDelete ();
}

bool CViewContainer::addView (CView* view)
{
	if (!view || view->parentView || view == this)
		return false;
	children.emplace_back (owned (view));
	view->parentView = this;
	if (isAttached ())
		view->attached (this);
	view->invalid ();
	return true;
}

bool CViewContainer::removeView (CView* view)
{
	auto it = std::find_if (children.begin (), children.end (),
	                        [view] (const SharedPointer<CView>& c) { return c.get () == view; });
	if (it == children.end ())
		return false;
	// Keeps the view alive until it has left the tree.
	SharedPointer<CView> keep = *it;
	children.erase (it);
	if (view == mouseDownView)
		mouseDownView = nullptr;
	view->invalid ();
	if (auto* frame = getFrame ())
		frame->onViewRemoved (view);
	if (view->isAttached ())
		view->removed (this);
	view->parentView = nullptr;
	return true;
}

void CViewContainer::removeAll ()
{
	while (!children.empty ())
		removeView (children.back ().get ());
}

CView* CViewContainer::getView (uint32 index) const
{
	return index < children.size () ? children[index].get () : nullptr;
}

CView* CViewContainer::getViewAt (const CPoint& where, bool deep) const
{
	CPoint local (where);
	local.offsetInverse (getViewSize ().getTopLeft ());
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = it->get ();
		if (!child->isVisible () || !child->getViewSize ().pointInside (local))
			continue;
		if (deep)
		{
			if (auto* container = dynamic_cast<CViewContainer*> (child))
			{
				if (auto* inner = container->getViewAt (local, true))
					return inner;
			}
		}
		return child;
	}
	return nullptr;
}

void CViewContainer::setBackgroundColor (const CColor& color)
{
	if (color == backgroundColor)
		return;
	backgroundColor = color;
	invalid ();
}

void CViewContainer::drawRect (CDrawContext* context, const CRect& updateRect)
{
	if (!context)
		return;
	CRect area (getViewSize ());
	area.bound (updateRect);
	if (backgroundColor.alpha != 0)
	{
		context->setFillColor (backgroundColor);
		context->drawRect (area, kDrawFilled);
	}
	if (auto* bitmap = getDrawBackground ())
		bitmap->draw (context, getViewSize ());

	const CPoint origin = getViewSize ().getTopLeft ();
	CRect local (area);
	local.offsetInverse (origin);
	context->saveGlobalState ();
	context->translate (origin);
	const CRect clip = context->getClipRect ();
	for (const auto& child : children)
	{
		if (!child->isVisible ())
			continue;
		CRect r (child->getViewSize ());
		r.bound (local).bound (clip);
		if (r.isEmpty ())
			continue;
		context->saveGlobalState ();
		context->setClipRect (r);
		child->drawRect (context, r);
		context->restoreGlobalState ();
	}
	context->restoreGlobalState ();
	setDirty (false);
}

template <class F>
bool CViewContainer::forEachHitChild (const CPoint& where, const CButtonState& buttons, F&& f)
{
	CPoint local (where);
	local.offsetInverse (getViewSize ().getTopLeft ());
	// Topmost first; a child may remove views while it handles the event.
	auto snapshot = children;
	for (auto it = snapshot.rbegin (); it != snapshot.rend (); ++it)
	{
		CView* child = it->get ();
		if (child->parentView != this || !child->isVisible () || !child->getMouseEnabled () ||
		    !child->hitTest (local, buttons))
			continue;
		CPoint p (local);
		if (f (child, p))
			return true;
	}
	return false;
}

CMouseEventResult CViewContainer::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	CMouseEventResult result = kMouseEventNotHandled;
	forEachHitChild (where, buttons, [&] (CView* child, CPoint& p) {
		const auto r = child->onMouseDown (p, buttons);
		if (r == kMouseEventNotHandled || r == kMouseEventNotImplemented)
			return false;
		if (r == kMouseEventHandled && child->parentView == this)
			mouseDownView = child;
		result = r;
		return true;
	});
	return result;
}

CMouseEventResult CViewContainer::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	// The move may close the frame (a host closing its editor on an edit).
	SharedPointer<CView> view (mouseDownView);
	CPoint p (where);
	p.offsetInverse (getViewSize ().getTopLeft ());
	return view->onMouseMoved (p, buttons);
}

CMouseEventResult CViewContainer::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	SharedPointer<CView> view (mouseDownView);
	mouseDownView = nullptr;
	CPoint p (where);
	p.offsetInverse (getViewSize ().getTopLeft ());
	return view->onMouseUp (p, buttons);
}

CMouseEventResult CViewContainer::onMouseCancel ()
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	SharedPointer<CView> view (mouseDownView);
	mouseDownView = nullptr;
	return view->onMouseCancel ();
}

bool CViewContainer::onWheel (const CPoint& where, const CMouseWheelAxis& axis,
                              const float& distance, const CButtonState& buttons)
{
	return forEachHitChild (where, buttons, [&] (CView* child, CPoint& p) {
		return child->onWheel (p, axis, distance, buttons);
	});
}

bool CViewContainer::attached (CView* parent)
{
	if (!CView::attached (parent))
		return false;
	for (const auto& child : children)
		child->attached (this);
	return true;
}

bool CViewContainer::removed (CView* parent)
{
	if (!isAttached ())
		return false;
	mouseDownView = nullptr;
	for (const auto& child : children)
		child->removed (this);
	return CView::removed (parent);
}

} // namespace VSTGUI
