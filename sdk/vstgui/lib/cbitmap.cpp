#include "cbitmap.h"
#include "cdrawcontext.h"
#include <cairo.h>
#include <cmath>

namespace VSTGUI {

namespace {
bool usable (cairo_surface_t* s)
{
	return s && cairo_surface_status (s) == CAIRO_STATUS_SUCCESS &&
	       cairo_image_surface_get_width (s) > 0 && cairo_image_surface_get_height (s) > 0;
}

cairo_surface_t* keepUsable (cairo_surface_t* s)
{
	if (usable (s))
		return s;
	if (s)
		cairo_surface_destroy (s);
	return nullptr;
}

constexpr CCoord kMaxSide = 16384.;
} // namespace

CBitmap::CBitmap (const CResourceDescription& desc) : resourceDesc (desc)
{
	const char* path = desc.getName ();
	if (path && *path)
		surface = keepUsable (cairo_image_surface_create_from_png (path));
}

CBitmap::CBitmap (CCoord width, CCoord height)
{
	if (width >= 1. && height >= 1. && width <= kMaxSide && height <= kMaxSide)
		surface = keepUsable (cairo_image_surface_create (
		    CAIRO_FORMAT_ARGB32, static_cast<int> (width), static_cast<int> (height)));
}

CBitmap::CBitmap (_cairo_surface* adopted) : surface (keepUsable (adopted)) {}

CBitmap::~CBitmap () noexcept
{
	if (surface)
		cairo_surface_destroy (surface);
}

CCoord CBitmap::getWidth () const
{
	return surface ? cairo_image_surface_get_width (surface) : 0.;
}

CCoord CBitmap::getHeight () const
{
	return surface ? cairo_image_surface_get_height (surface) : 0.;
}

void CBitmap::draw (CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha)
{
	if (context)
		context->drawBitmap (this, rect, offset, alpha);
}

CColor CBitmap::getPixel (int32 x, int32 y) const
{
	if (!surface || x < 0 || y < 0 || x >= cairo_image_surface_get_width (surface) ||
	    y >= cairo_image_surface_get_height (surface))
		return {0, 0, 0, 0};
	cairo_surface_flush (surface);
	const unsigned char* data = cairo_image_surface_get_data (surface);
	const int stride = cairo_image_surface_get_stride (surface);
	if (!data)
		return {0, 0, 0, 0};
	const cairo_format_t format = cairo_image_surface_get_format (surface);
	if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
		return {0, 0, 0, 0};
	const auto* row = reinterpret_cast<const uint32*> (data + static_cast<size_t> (y) * stride);
	const uint32 argb = row[x];
	// An image without alpha has an undefined top byte.
	const uint32 a = format == CAIRO_FORMAT_RGB24 ? 255u : argb >> 24;
	auto unmul = [a] (uint32 c) -> uint8 {
		if (a == 0)
			return 0;
		return static_cast<uint8> ((c * 255 + a / 2) / a);
	};
	return {unmul ((argb >> 16) & 0xff), unmul ((argb >> 8) & 0xff), unmul (argb & 0xff),
	        static_cast<uint8> (a)};
}

bool CBitmap::writePNG (UTF8StringPtr path) const
{
	if (!surface || !path)
		return false;
	cairo_surface_flush (surface);
	return cairo_surface_write_to_png (surface, path) == CAIRO_STATUS_SUCCESS;
}

} // namespace VSTGUI
