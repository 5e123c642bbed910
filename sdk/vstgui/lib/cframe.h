#pragma once

#include "cviewcontainer.h"
#include "platform/iplatformframe.h"

namespace VSTGUI {

// The root of a view tree. It draws and takes input through a platform frame, and its
// run loop drives the timers of its views. Its rectangle is (0, 0, width, height).
class CFrame : public CViewContainer, public IPlatformFrameCallback
{
public:
	explicit CFrame (const CRect& size);
	~CFrame () noexcept override;

	// Makes the platform frame and attaches the views. False when already open or the
	// platform frame cannot be made.
	bool open (void* parent, PlatformType type, IPlatformFrameConfig* config = nullptr);
	// Detaches and releases every view (open edits end, timers stop), then lets go of
	// the platform frame.
	void close ();
	bool isOpen () const { return platformFrame != nullptr; }
	IPlatformFrame* getPlatformFrame () const { return platformFrame; }
	// Null while closed.
	IRunLoop* getRunLoop () const;

	CView* getFocusView () const { return focusView; }
	void setFocusView (CView* view);

	// Called by a container of this frame's tree when it lets go of view.
	void onViewRemoved (CView* view);

	// CView
	CFrame* getFrame () const override { return const_cast<CFrame*> (this); }
	void invalidRect (const CRect& rect) override;
	void setViewSize (const CRect& rect, bool doInvalid = true) override;

	// IPlatformFrameCallback
	void platformDrawRect (CDrawContext* context, const CRect& rect) override;
	CMouseEventResult platformOnMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseEntered (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseExited (CPoint& where, const CButtonState& buttons) override;
	bool platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis,
	                           const float& distance, const CButtonState& buttons) override;
	bool platformOnKeyDown (VstKeyCode& keyCode) override;
	bool platformOnKeyUp (VstKeyCode& keyCode) override;
	void platformOnActivate (bool) override {}

private:
	void setMouseOverView (CView* view, CPoint where, const CButtonState& buttons);

	SharedPointer<IPlatformFrame> platformFrame;
	CView* focusView {nullptr};
	CView* mouseOverView {nullptr};
};

} // namespace VSTGUI
