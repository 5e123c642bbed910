#pragma once

#include "vstguifwd.h"
#include "cbuttonstate.h"
#include "crect.h"
#include "vstkeycode.h"
#include <vector>

namespace VSTGUI {

// A rectangle on screen. Its size is in its parent's coordinates; a view belongs to at
// most one container, and it is attached while that container is in an open frame.
class CView : public CBaseObject
{
public:
	enum ViewFlags : int32
	{
		kMouseEnabled = 1 << 0,
		kWantsFocus = 1 << 1,
		kVisible = 1 << 2,
		kDirty = 1 << 3,
		kTransparencyEnabled = 1 << 4,
	};

	explicit CView (const CRect& size);
	// Copies size, mouseable area, flags and bitmaps (with a reference each); not the listeners.
	CView (const CView& other);
	~CView () noexcept override;
	CView& operator= (const CView&) = delete;

	// Drawing
	virtual void draw (CDrawContext* context);
	virtual void drawRect (CDrawContext* context, const CRect& updateRect);
	// Dirty asks for a redraw of the whole view as well.
	virtual void setDirty (bool state = true);
	virtual bool isDirty () const { return hasViewFlag (kDirty); }
	// Asks for a redraw of the whole view.
	virtual void invalid () { invalidRect (getViewSize ()); }
	// Asks for a redraw of rect (in the view's own coordinates, those of getViewSize).
	// Counted, and passed up to the frame.
	virtual void invalidRect (const CRect& rect);
	uint32 getInvalidCount () const { return invalidCount; }

	// Mouse, wheel and keys
	virtual CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseCancel ();
	virtual CMouseEventResult onMouseEntered (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseExited (CPoint& where, const CButtonState& buttons);
	virtual bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	                      const CButtonState& buttons);
	// 1 when the key was used, -1 when not.
	virtual int32 onKeyDown (VstKeyCode& keyCode);
	virtual int32 onKeyUp (VstKeyCode& keyCode);

	// Flags
	bool hasViewFlag (int32 bit) const { return (viewFlags & bit) == bit; }
	void setViewFlag (int32 bit, bool state)
	{
		if (state)
			viewFlags |= bit;
		else
			viewFlags &= ~bit;
	}
	virtual void setMouseEnabled (bool state = true);
	bool getMouseEnabled () const { return hasViewFlag (kMouseEnabled); }
	virtual void setWantsFocus (bool state) { setViewFlag (kWantsFocus, state); }
	bool wantsFocus () const { return hasViewFlag (kWantsFocus); }
	virtual void setVisible (bool state);
	bool isVisible () const { return hasViewFlag (kVisible); }
	virtual void setTransparency (bool state) { setViewFlag (kTransparencyEnabled, state); }
	bool getTransparency () const { return hasViewFlag (kTransparencyEnabled); }

	// Geometry
	const CRect& getViewSize () const { return size; }
	virtual void setViewSize (const CRect& rect, bool invalid = true);
	CCoord getWidth () const { return size.getWidth (); }
	CCoord getHeight () const { return size.getHeight (); }
	virtual void setMouseableArea (const CRect& rect) { mouseableArea = rect; }
	const CRect& getMouseableArea () const { return mouseableArea; }
	virtual bool hitTest (const CPoint& where, const CButtonState& buttons = -1);
	virtual bool sizeToFit () { return false; }

	// Bitmaps (each held with one counted reference)
	virtual void setBackground (CBitmap* background);
	CBitmap* getBackground () const { return background; }
	virtual void setDisabledBackground (CBitmap* background);
	CBitmap* getDisabledBackground () const { return disabledBackground; }
	// The disabled background while the view takes no mouse input and has one,
	// otherwise the background.
	CBitmap* getDrawBackground () const;

	// Listeners (not owned)
	void registerViewListener (IViewListener* listener);
	void unregisterViewListener (IViewListener* listener);

	virtual CView* newCopy () const { return nullptr; }

	// Place in the view tree
	CView* getParentView () const;
	// The frame at the root of the view's tree, or null.
	virtual CFrame* getFrame () const;
	// Called by the container when the view enters or leaves an open frame.
	virtual bool attached (CView* parent);
	virtual bool removed (CView* parent);
	bool isAttached () const { return attachedToFrame; }
	// Between the frame's coordinates and the view's own (those of getViewSize).
	CPoint& frameToLocal (CPoint& point) const;
	CPoint& localToFrame (CPoint& point) const;

	// A controller owned by the view (an editor description's sub-controller),
	// deleted with the view.
	void setController (IController* controller);
	IController* getController () const { return controller; }

protected:
	void beforeDelete () override;

private:
	template <class F>
	void forEachViewListener (F&& f);

	CRect size;
	CRect mouseableArea;
	int32 viewFlags {kMouseEnabled | kVisible};
	CBitmap* background {nullptr};
	CBitmap* disabledBackground {nullptr};
	std::vector<IViewListener*> viewListeners;
	uint32 invalidCount {0};
	bool deleteNotified {false};
	bool attachedToFrame {false};
	CViewContainer* parentView {nullptr};
	IController* controller {nullptr};

	friend class CViewContainer;
};

} // namespace VSTGUI
