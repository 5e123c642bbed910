#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cfileread.h"
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

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

// A damaged bundle may hold anything where an image should be: the file is read whole
// only when it is a regular file of modest size, and decoded only when its header names
// a size that fits.
constexpr size_t kMaxPNGFileSize = 16 * 1024 * 1024;
constexpr uint64_t kMaxPNGPixels = 64 * 1024 * 1024;

uint32_t bigEndian32 (const std::string& data, size_t at)
{
	const auto* p = reinterpret_cast<const unsigned char*> (data.data () + at);
	return (uint32_t {p[0]} << 24) | (uint32_t {p[1]} << 16) | (uint32_t {p[2]} << 8) | p[3];
}

// The signature, then the IHDR chunk with the width and height.
bool plausiblePNG (const std::string& data)
{
	static const char header[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR";
	if (data.size () < 24 || std::memcmp (data.data (), header, sizeof (header) - 1) != 0)
		return false;
	const uint64_t width = bigEndian32 (data, 16), height = bigEndian32 (data, 20);
	return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
	       width * height <= kMaxPNGPixels;
}

struct PNGReader
{
	const std::string& data;
	size_t at {0};

	static cairo_status_t read (void* closure, unsigned char* out, unsigned int length)
	{
		auto& self = *static_cast<PNGReader*> (closure);
		if (length > self.data.size () - self.at)
			return CAIRO_STATUS_READ_ERROR;
		std::memcpy (out, self.data.data () + self.at, length);
		self.at += length;
		return CAIRO_STATUS_SUCCESS;
	}
};

cairo_surface_t* loadPNG (const char* path)
{
	std::string data;
	if (!readRegularFile (path, kMaxPNGFileSize, data) || !plausiblePNG (data))
		return nullptr;
	PNGReader reader {data};
	return keepUsable (cairo_image_surface_create_from_png_stream (&PNGReader::read, &reader));
}
} // namespace

CBitmap::CBitmap (const CResourceDescription& desc) : resourceDesc (desc)
{
	surface = loadPNG (desc.getName ());
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
