#pragma once

#include "cpoint.h"

namespace VSTGUI {

struct CRect
{
	constexpr CRect () = default;
	constexpr CRect (CCoord left, CCoord top, CCoord right, CCoord bottom)
	: left (left), top (top), right (right), bottom (bottom)
	{
	}
	// A rectangle at origin with the given width (x) and height (y).
	constexpr CRect (const CPoint& origin, const CPoint& size)
	: left (origin.x), top (origin.y), right (origin.x + size.x), bottom (origin.y + size.y)
	{
	}

	CCoord getWidth () const { return right - left; }
	CCoord getHeight () const { return bottom - top; }
	CRect& setWidth (CCoord w)
	{
		right = left + w;
		return *this;
	}
	CRect& setHeight (CCoord h)
	{
		bottom = top + h;
		return *this;
	}
	CPoint getSize () const { return {getWidth (), getHeight ()}; }
	CRect& setSize (const CPoint& size)
	{
		setWidth (size.x);
		return setHeight (size.y);
	}

	CPoint getTopLeft () const { return {left, top}; }
	CPoint getTopRight () const { return {right, top}; }
	CPoint getBottomLeft () const { return {left, bottom}; }
	CPoint getBottomRight () const { return {right, bottom}; }
	CPoint getCenter () const { return {left + getWidth () / 2., top + getHeight () / 2.}; }

	CRect& setTopLeft (const CPoint& p)
	{
		left = p.x;
		top = p.y;
		return *this;
	}
	CRect& setBottomRight (const CPoint& p)
	{
		right = p.x;
		bottom = p.y;
		return *this;
	}

	CRect& offset (CCoord dx, CCoord dy)
	{
		left += dx;
		right += dx;
		top += dy;
		bottom += dy;
		return *this;
	}
	CRect& offset (const CPoint& p) { return offset (p.x, p.y); }
	CRect& offsetInverse (const CPoint& p) { return offset (-p.x, -p.y); }
	// Keeps the size, places the top-left corner at (x, y).
	CRect& moveTo (CCoord x, CCoord y) { return offset (x - left, y - top); }
	CRect& moveTo (const CPoint& p) { return moveTo (p.x, p.y); }

	// Shrinks by dx on the left and right, dy on the top and bottom.
	CRect& inset (CCoord dx, CCoord dy)
	{
		left += dx;
		right -= dx;
		top += dy;
		bottom -= dy;
		return *this;
	}
	CRect& inset (const CPoint& p) { return inset (p.x, p.y); }
	CRect& extend (CCoord dx, CCoord dy) { return inset (-dx, -dy); }
	CRect& extend (const CPoint& p) { return extend (p.x, p.y); }

	// Swaps reversed edges so that left <= right and top <= bottom.
	CRect& normalize ()
	{
		if (left > right)
			std::swap (left, right);
		if (top > bottom)
			std::swap (top, bottom);
		return *this;
	}

	// Left and top edges inside, right and bottom edges outside; NaN is outside.
	bool pointInside (const CPoint& p) const
	{
		return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
	}
	bool isEmpty () const { return !(right > left && bottom > top); }
	bool rectOverlap (const CRect& r) const
	{
		return r.right > left && r.left < right && r.bottom > top && r.top < bottom;
	}

	// Intersection with r; an empty result keeps left <= right and top <= bottom.
	CRect& bound (const CRect& r)
	{
		if (left < r.left)
			left = r.left;
		if (top < r.top)
			top = r.top;
		if (right > r.right)
			right = r.right;
		if (bottom > r.bottom)
			bottom = r.bottom;
		if (right < left)
			right = left;
		if (bottom < top)
			bottom = top;
		return *this;
	}
	CRect& unite (const CRect& r)
	{
		if (r.left < left)
			left = r.left;
		if (r.top < top)
			top = r.top;
		if (r.right > right)
			right = r.right;
		if (r.bottom > bottom)
			bottom = r.bottom;
		return *this;
	}

	bool operator== (const CRect& r) const
	{
		return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
	}
	bool operator!= (const CRect& r) const { return !(*this == r); }

	CCoord left {0.};
	CCoord top {0.};
	CCoord right {0.};
	CCoord bottom {0.};
};

} // namespace VSTGUI
