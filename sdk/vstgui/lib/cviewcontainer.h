#pragma once

#include "cview.h"
#include "ccolor.h"
#include <vector>

namespace VSTGUI {

// A view holding child views, each with one counted reference. Child sizes are in
// the container's coordinates: (0, 0) is the container's top-left corner.
class CViewContainer : public CView
{
public:
	explicit CViewContainer (const CRect& size);
	~CViewContainer () noexcept override;
	CViewContainer (const CViewContainer&) = delete;

	// Takes over the caller's reference when it answers true; a view that is null or
	// already in a container is refused and stays the caller's.
	bool addView (CView* view);
	// Takes the view out and drops the container's reference to it.
	bool removeView (CView* view);
	void removeAll ();
	uint32 getNbViews () const { return static_cast<uint32> (children.size ()); }
	CView* getView (uint32 index) const;
	// The topmost visible child under where (in the container's own coordinates, those
	// of getViewSize); with deep, the deepest view under it.
	CView* getViewAt (const CPoint& where, bool deep = false) const;
	// Calls f on every view below the container, depth first, parents before children.
	template <class F>
	void forEachDescendant (F&& f) const;

	void setBackgroundColor (const CColor& color);
	CColor getBackgroundColor () const { return backgroundColor; }

	// CView
	void drawRect (CDrawContext* context, const CRect& updateRect) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	bool attached (CView* parent) override;
	bool removed (CView* parent) override;

	// The child that took the current mouse press, or null.
	CView* getMouseDownView () const { return mouseDownView; }

protected:
	void beforeDelete () override;

private:
	template <class F>
	bool forEachHitChild (const CPoint& where, const CButtonState& buttons, F&& f);

	std::vector<SharedPointer<CView>> children;
	CColor backgroundColor {kTransparentCColor};
	CView* mouseDownView {nullptr};
};

template <class F>
void CViewContainer::forEachDescendant (F&& f) const
{
	for (const auto& child : children)
	{
		f (child.get ());
		if (auto* container = dynamic_cast<CViewContainer*> (child.get ()))
			container->forEachDescendant (f);
	}
}

} // namespace VSTGUI
