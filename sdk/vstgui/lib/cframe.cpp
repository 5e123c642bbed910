#include "cframe.h"

namespace VSTGUI {

namespace {
bool isInside (const CView* view, const CView* ancestor)
{
	for (auto* v = view; v; v = v->getParentView ())
	{
		if (v == ancestor)
			return true;
	}
	return false;
}
} // namespace

CFrame::CFrame (const CRect& size) : CViewContainer (CRect (0., 0., size.getWidth (), size.getHeight ()))
{
}

CFrame::~CFrame () noexcept { close (); }

bool CFrame::open (void* parent, PlatformType type, IPlatformFrameConfig* config)
{
	if (platformFrame)
		return false;
	platformFrame = createPlatformFrame (this, getViewSize (), parent, type, config);
	if (!platformFrame)
		return false;
	attached (nullptr);
	invalid ();
	return true;
}

void CFrame::close ()
{
	if (!platformFrame)
		return;
	removed (nullptr);
	removeAll ();
	focusView = nullptr;
	mouseOverView = nullptr;
	platformFrame->onFrameClosed ();
	platformFrame = nullptr;
}

IRunLoop* CFrame::getRunLoop () const
{
	return platformFrame ? platformFrame->getRunLoop () : nullptr;
}

// Only recorded: the keyboard stays with the host, which passes keys on to the focus view.
void CFrame::setFocusView (CView* view)
{
	focusView = view && isInside (view, this) ? view : nullptr;
}

void CFrame::onViewRemoved (CView* view)
{
	if (isInside (focusView, view))
		focusView = nullptr;
	if (isInside (mouseOverView, view))
		mouseOverView = nullptr;
}

void CFrame::invalidRect (const CRect& rect)
{
	CViewContainer::invalidRect (rect);
	if (platformFrame)
		platformFrame->invalidRect (rect);
}

void CFrame::setViewSize (const CRect& rect, bool doInvalid)
{
	CViewContainer::setViewSize (CRect (0., 0., rect.getWidth (), rect.getHeight ()), doInvalid);
	if (platformFrame)
		platformFrame->setSize (getViewSize ());
}

void CFrame::platformDrawRect (CDrawContext* context, const CRect& rect) { drawRect (context, rect); }

// A view's handler may close and release this frame (a host that closes its editor when it
// is told of an edit): the frame, and the view that takes a key, live until the handler is done.

CMouseEventResult CFrame::platformOnMouseDown (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> keep (this);
	CView* target = getViewAt (where, true);
	setFocusView (target && target->wantsFocus () ? target : nullptr);
	return onMouseDown (where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> keep (this);
	if (getMouseDownView ())
		return onMouseMoved (where, buttons);
	setMouseOverView (getViewAt (where, true), where, buttons);
	return kMouseEventNotHandled;
}

CMouseEventResult CFrame::platformOnMouseUp (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> keep (this);
	const auto result = onMouseUp (where, buttons);
	setMouseOverView (getViewAt (where, true), where, buttons);
	return result;
}

CMouseEventResult CFrame::platformOnMouseEntered (CPoint& where, const CButtonState& buttons)
{
	return platformOnMouseMoved (where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited (CPoint& where, const CButtonState& buttons)
{
	// A drag goes on outside the window until its release.
	if (!getMouseDownView ())
		setMouseOverView (nullptr, where, buttons);
	return kMouseEventHandled;
}

bool CFrame::platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis,
                                   const float& distance, const CButtonState& buttons)
{
	SharedPointer<CFrame> keep (this);
	return onWheel (where, axis, distance, buttons);
}

bool CFrame::platformOnKeyDown (VstKeyCode& keyCode)
{
	SharedPointer<CFrame> keep (this);
	SharedPointer<CView> view (focusView);
	return view && view->onKeyDown (keyCode) != -1;
}

bool CFrame::platformOnKeyUp (VstKeyCode& keyCode)
{
	SharedPointer<CFrame> keep (this);
	SharedPointer<CView> view (focusView);
	return view && view->onKeyUp (keyCode) != -1;
}

void CFrame::setMouseOverView (CView* view, CPoint where, const CButtonState& buttons)
{
	if (view == mouseOverView)
		return;
	if (mouseOverView)
	{
		CPoint p (where);
		mouseOverView->onMouseExited (mouseOverView->frameToLocal (p), buttons);
	}
	mouseOverView = view;
	if (mouseOverView)
	{
		CPoint p (where);
		mouseOverView->onMouseEntered (mouseOverView->frameToLocal (p), buttons);
	}
}

} // namespace VSTGUI
