#include "cgraphicspath.h"
#include <algorithm>

namespace VSTGUI {

void CGraphicsPath::addRect (const CRect& rect)
{
	elements.push_back ({Element::kRect, rect, {}});
}

void CGraphicsPath::addEllipse (const CRect& rect)
{
	elements.push_back ({Element::kEllipse, rect, {}});
}

void CGraphicsPath::beginSubpath (const CPoint& start)
{
	elements.push_back ({Element::kBeginSubpath, {}, start});
}

void CGraphicsPath::addLine (const CPoint& to) { elements.push_back ({Element::kLine, {}, to}); }

void CGraphicsPath::closeSubpath () { elements.push_back ({Element::kCloseSubpath, {}, {}}); }

CRect CGraphicsPath::getBoundingBox () const
{
	bool first = true;
	CRect box;
	auto add = [&] (const CRect& r) {
		CRect n (r);
		n.normalize ();
		if (first)
			box = n;
		else
			box.unite (n);
		first = false;
	};
	for (const auto& e : elements)
	{
		switch (e.type)
		{
			case Element::kRect:
			case Element::kEllipse: add (e.rect); break;
			case Element::kBeginSubpath:
			case Element::kLine: add (CRect (e.point.x, e.point.y, e.point.x, e.point.y)); break;
			case Element::kCloseSubpath: break;
		}
	}
	return box;
}

} // namespace VSTGUI
