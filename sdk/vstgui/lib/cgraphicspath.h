#pragma once

#include "vstguifwd.h"
#include "crect.h"
#include <vector>

namespace VSTGUI {

// A device-independent path: a list of figures replayed by a draw context.
class CGraphicsPath : public CBaseObject
{
public:
	struct Element
	{
		enum Type
		{
			kRect,
			kEllipse,
			kBeginSubpath,
			kLine,
			kCloseSubpath,
		};
		Type type;
		CRect rect;   // kRect, kEllipse
		CPoint point; // kBeginSubpath, kLine
	};

	CGraphicsPath () = default;

	virtual void addRect (const CRect& rect);
	virtual void addEllipse (const CRect& rect);
	virtual void beginSubpath (const CPoint& start);
	virtual void addLine (const CPoint& to);
	virtual void closeSubpath ();

	const std::vector<Element>& getElements () const { return elements; }
	// Bounding box of all figures; an empty rectangle for an empty path.
	CRect getBoundingBox () const;

private:
	std::vector<Element> elements;
};

} // namespace VSTGUI
