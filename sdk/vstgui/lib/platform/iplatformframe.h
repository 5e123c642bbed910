#pragma once

// The seam between a CFrame and a window system. A platform frame owns the native
// window (or none, offscreen), carries the frame's run loop, asks the frame to draw
// dirty areas and reports input into it through IPlatformFrameCallback. Coordinates
// on both sides are the frame's: (0, 0) is the window's top-left corner.

#include "../vstguifwd.h"
#include "../cbuttonstate.h"
#include "../crect.h"
#include "../crunloop.h"
#include "../vstkeycode.h"

namespace VSTGUI {

enum class PlatformType : int32
{
	// No window: drawn on request into an image (tests, snapshots).
	kOffscreen,
	// A child window inside a host's X11 window; the parent is the XID itself.
	kX11EmbedWindowID,
};

// Implemented by CFrame. A platform frame calls it on the UI thread only.
class IPlatformFrameCallback
{
public:
	virtual ~IPlatformFrameCallback () noexcept = default;

	// Draws everything that meets rect. The context is clipped to rect by the caller.
	virtual void platformDrawRect (CDrawContext* context, const CRect& rect) = 0;

	// buttons carries kLButton/kMButton/kRButton/kButton4/kButton5, kShift, kAlt,
	// kApple (the Ctrl key) and kDoubleClick. A drag keeps reporting moves and its
	// release even outside the window.
	virtual CMouseEventResult platformOnMouseDown (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseMoved (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseUp (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseEntered (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseExited (CPoint& where, const CButtonState& buttons) = 0;
	// One wheel notch is a distance of 1; up and left are positive.
	virtual bool platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis,
	                                   const float& distance, const CButtonState& buttons) = 0;
	// True when a view used the key.
	virtual bool platformOnKeyDown (VstKeyCode& keyCode) = 0;
	virtual bool platformOnKeyUp (VstKeyCode& keyCode) = 0;
	// The window gained or lost the keyboard focus.
	virtual void platformOnActivate (bool state) = 0;
};

class IPlatformFrame : public CBaseObject
{
public:
	// The window's rectangle, (0, 0, width, height).
	virtual bool getSize (CRect& size) const = 0;
	// Resizes the window; the frame calls it when its own size changes.
	virtual bool setSize (const CRect& size) = 0;
	// Marks rect dirty; the platform frame draws it later through the callback.
	virtual bool invalidRect (const CRect& rect) = 0;
	// The run loop of the frame's timers; may be null (then timers do not start).
	virtual IRunLoop* getRunLoop () const = 0;
	virtual PlatformType getPlatformType () const = 0;
	// The native window (the X11 child window's XID as a pointer value), or null.
	virtual void* getPlatformRepresentation () const = 0;
	// The frame closes: from now on nothing may reach the callback.
	virtual void onFrameClosed () = 0;
};

// What a platform needs besides its parent; a platform may read a derived type of its own.
struct IPlatformFrameConfig
{
	virtual ~IPlatformFrameConfig () noexcept = default;
	// The run loop the frame's timers run on (for a host window: the host's).
	SharedPointer<IRunLoop> runLoop;
};

// Makes the platform frame of the given type, or null when the type is not built in
// or its window could not be made.
SharedPointer<IPlatformFrame> createPlatformFrame (IPlatformFrameCallback* callback,
                                                   const CRect& size, void* parent,
                                                   PlatformType type,
                                                   IPlatformFrameConfig* config);

} // namespace VSTGUI
