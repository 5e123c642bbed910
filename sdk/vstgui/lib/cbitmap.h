#pragma once

#include "vstguifwd.h"
#include "cpoint.h"
#include "crect.h"
#include "ccolor.h"
#include <string>

struct _cairo_surface;

namespace VSTGUI {

// Names a bitmap resource: a PNG file path.
class CResourceDescription
{
public:
	CResourceDescription () = default;
	CResourceDescription (UTF8StringPtr name) : name (name ? name : "") {}
	UTF8StringPtr getName () const { return name.c_str (); }

private:
	std::string name;
};

// Image held as a 32-bit premultiplied ARGB surface. A bitmap whose file could
// not be read has size 0 x 0 and draws nothing.
class CBitmap : public CBaseObject
{
public:
	explicit CBitmap (const CResourceDescription& desc);
	// An empty (transparent) bitmap of the given size in pixels.
	CBitmap (CCoord width, CCoord height);
	~CBitmap () noexcept override;
	CBitmap (const CBitmap&) = delete;
	CBitmap& operator= (const CBitmap&) = delete;

	// Draws the part of the bitmap that starts at offset into rect.
	virtual void draw (CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint (0, 0),
	                   float alpha = 1.f);

	virtual CCoord getWidth () const;
	virtual CCoord getHeight () const;
	CPoint getSize () const { return {getWidth (), getHeight ()}; }
	bool isLoaded () const { return surface != nullptr; }
	const CResourceDescription& getResourceDescription () const { return resourceDesc; }

	// Pixel at (x, y), unpremultiplied; transparent black outside the bitmap.
	CColor getPixel (int32 x, int32 y) const;
	// Writes the bitmap as a PNG file; false on failure or an empty bitmap.
	bool writePNG (UTF8StringPtr path) const;

	_cairo_surface* getSurface () const { return surface; }

private:
	friend class COffscreenContext;
	explicit CBitmap (_cairo_surface* adopted);

	CResourceDescription resourceDesc;
	_cairo_surface* surface {nullptr};
};

} // namespace VSTGUI
