#include "cdrawcontext.h"
#include "cbitmap.h"
#include "cgraphicspath.h"
#include <cairo.h>
#include <algorithm>
#include <cmath>
#include <dlfcn.h>

namespace VSTGUI {

const CLineStyle kLineSolid;
const CLineStyle kLineOnOffDash (CLineStyle::kLineCapButt, CLineStyle::kLineJoinMiter, 0., {1., 1.});

namespace {
// cairo's libraries set up data of their own when they are loaded (pixman its table of
// implementations) and never free it. A host that unloads this module would unload them
// too and lose that data on every load; pinned, they stay loaded and keep it.
const bool drawingLibrariesPinned = [] {
	return dlopen ("libcairo.so.2", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}();

bool finite (const CRect& r)
{
	return std::isfinite (r.left) && std::isfinite (r.top) && std::isfinite (r.right) &&
	       std::isfinite (r.bottom);
}

bool finite (const CPoint& p) { return std::isfinite (p.x) && std::isfinite (p.y); }
} // namespace

CDrawContext::CDrawContext (_cairo* context, const CRect& surfaceRect, double scaleFactor)
: cr (context), surfaceRect (surfaceRect), scaleFactor (scaleFactor > 0. ? scaleFactor : 1.)
{
	if (cr)
		cairo_reference (cr);
	state.clipRect = surfaceRect;
}

CDrawContext::CDrawContext (const CRect& surfaceRect, double scaleFactor)
: CDrawContext (nullptr, surfaceRect, scaleFactor)
{
}

CDrawContext::~CDrawContext () noexcept
{
	if (cr)
		cairo_destroy (cr);
}

void CDrawContext::setDrawMode (CDrawMode mode) { state.drawMode = mode; }
void CDrawContext::setLineStyle (const CLineStyle& style) { state.lineStyle = style; }
void CDrawContext::setLineWidth (CCoord width) { state.lineWidth = width; }
void CDrawContext::setFrameColor (const CColor& color) { state.frameColor = color; }
void CDrawContext::setFillColor (const CColor& color) { state.fillColor = color; }
void CDrawContext::setFontColor (const CColor& color) { state.fontColor = color; }
void CDrawContext::setFont (CFontRef font) { state.font = font; }

void CDrawContext::setGlobalAlpha (float alpha)
{
	if (!(alpha >= 0.f))
		alpha = 0.f;
	else if (alpha > 1.f)
		alpha = 1.f;
	state.globalAlpha = alpha;
}

void CDrawContext::setClipRect (const CRect& clip)
{
	state.clipRect = clip;
	state.clipRect.normalize ();
	if (!cr)
		return;
	cairo_reset_clip (cr);
	// A clip that is not a number lets nothing through.
	if (finite (state.clipRect))
		cairo_rectangle (cr, state.clipRect.left, state.clipRect.top, state.clipRect.getWidth (),
		                 state.clipRect.getHeight ());
	else
		cairo_rectangle (cr, 0., 0., 0., 0.);
	cairo_clip (cr);
}

void CDrawContext::saveGlobalState ()
{
	stateStack.push_back (state);
	if (cr)
		cairo_save (cr);
}

void CDrawContext::restoreGlobalState ()
{
	if (stateStack.empty ())
	{
		vstgui_assert (!stateStack.empty (), "restoreGlobalState without saveGlobalState");
		return;
	}
	state = stateStack.back ();
	stateStack.pop_back ();
	if (cr)
		cairo_restore (cr);
}

void CDrawContext::translate (const CPoint& delta)
{
	if (!finite (delta))
		return;
	state.offset += delta;
	state.clipRect.offsetInverse (delta);
	if (cr)
		cairo_translate (cr, delta.x, delta.y);
}

void CDrawContext::applySource (const CColor& color)
{
	cairo_set_source_rgba (cr, color.red / 255., color.green / 255., color.blue / 255.,
	                       color.alpha / 255. * state.globalAlpha);
}

void CDrawContext::applyAntialias ()
{
	cairo_set_antialias (cr, state.drawMode.modeIgnoringIntegralMode () == kAntiAliasing
	                             ? CAIRO_ANTIALIAS_DEFAULT
	                             : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::applyLine ()
{
	// cairo's rasteriser writes outside its surface for lines wider than its fixed-point
	// range; no view comes near the bound.
	constexpr CCoord kMaxLineWidth = 1 << 20;
	const CCoord w = std::isfinite (state.lineWidth) && state.lineWidth > 0.
	                     ? std::min (state.lineWidth, kMaxLineWidth)
	                     : 0.;
	cairo_set_line_width (cr, w);
	static const cairo_line_cap_t caps[] = {CAIRO_LINE_CAP_BUTT, CAIRO_LINE_CAP_ROUND,
	                                        CAIRO_LINE_CAP_SQUARE};
	static const cairo_line_join_t joins[] = {CAIRO_LINE_JOIN_MITER, CAIRO_LINE_JOIN_ROUND,
	                                          CAIRO_LINE_JOIN_BEVEL};
	const auto& style = state.lineStyle;
	const int cap = style.getLineCap ();
	const int join = style.getLineJoin ();
	cairo_set_line_cap (cr, caps[cap >= 0 && cap <= 2 ? cap : 0]);
	cairo_set_line_join (cr, joins[join >= 0 && join <= 2 ? join : 0]);
	std::vector<double> dashes;
	for (auto d : style.getDashLengths ())
	{
		if (!(d > 0.) || !std::isfinite (d))
		{
			dashes.clear ();
			break;
		}
		dashes.push_back (d * (w > 0. ? w : 1.));
	}
	const double phase = std::isfinite (style.getDashPhase ()) ? style.getDashPhase () : 0.;
	cairo_set_dash (cr, dashes.empty () ? nullptr : dashes.data (), static_cast<int> (dashes.size ()),
	                phase);
	applyAntialias ();
}

void CDrawContext::appendRect (const CRect& rect, bool stroke)
{
	CRect r (rect);
	r.normalize ();
	// Without anti-aliasing, a line of odd whole width is centred on pixel centres.
	if (stroke && state.drawMode.modeIgnoringIntegralMode () == kAliasing &&
	    std::fmod (state.lineWidth, 2.) == 1.)
		r.offset (0.5, 0.5);
	cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
}

void CDrawContext::drawLine (const CPoint& start, const CPoint& end)
{
	if (!cr || !finite (start) || !finite (end))
		return;
	applyLine ();
	applySource (state.frameColor);
	CPoint a (start), b (end);
	if (state.drawMode.modeIgnoringIntegralMode () == kAliasing && std::fmod (state.lineWidth, 2.) == 1.)
	{
		a.offset (0.5, 0.5);
		b.offset (0.5, 0.5);
	}
	cairo_new_path (cr);
	cairo_move_to (cr, a.x, a.y);
	cairo_line_to (cr, b.x, b.y);
	cairo_stroke (cr);
}

void CDrawContext::drawRect (const CRect& rect, const CDrawStyle drawStyle)
{
	if (!cr || !finite (rect))
		return;
	applyLine ();
	if (drawStyle == kDrawFilled || drawStyle == kDrawFilledAndStroked)
	{
		cairo_new_path (cr);
		appendRect (rect, false);
		applySource (state.fillColor);
		cairo_fill (cr);
	}
	if (drawStyle == kDrawStroked || drawStyle == kDrawFilledAndStroked)
	{
		cairo_new_path (cr);
		appendRect (rect, true);
		applySource (state.frameColor);
		cairo_stroke (cr);
	}
}

void CDrawContext::drawEllipse (const CRect& rect, const CDrawStyle drawStyle)
{
	auto path = owned (createGraphicsPath ());
	if (!path)
		return;
	path->addEllipse (rect);
	if (drawStyle == kDrawFilled || drawStyle == kDrawFilledAndStroked)
		drawGraphicsPath (path, kPathFilled);
	if (drawStyle == kDrawStroked || drawStyle == kDrawFilledAndStroked)
		drawGraphicsPath (path, kPathStroked);
}

namespace {
void selectFont (cairo_t* cr, CFontRef font)
{
	const char* name = font ? font->getName () : "sans-serif";
	const int32 style = font ? font->getStyle () : kNormalFace;
	double size = font ? font->getSize () : 12.;
	if (!(size > 0.) || !std::isfinite (size))
		size = 12.;
	cairo_select_font_face (cr, name,
	                        (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
	                        (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
	cairo_set_font_size (cr, size);
}
} // namespace

CCoord CDrawContext::getStringWidth (UTF8StringPtr string)
{
	if (!cr || !string)
		return 0.;
	cairo_save (cr);
	selectFont (cr, state.font);
	cairo_text_extents_t ext;
	cairo_text_extents (cr, string, &ext);
	cairo_restore (cr);
	return ext.x_advance;
}

void CDrawContext::drawString (UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign,
                               bool antialias)
{
	if (!cr || !string || !*string || !finite (rect))
		return;
	cairo_save (cr);
	cairo_rectangle (cr, rect.left, rect.top, rect.getWidth (), rect.getHeight ());
	cairo_clip (cr);
	selectFont (cr, state.font);
	cairo_font_options_t* options = cairo_font_options_create ();
	cairo_font_options_set_antialias (options,
	                                  antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
	cairo_set_font_options (cr, options);
	cairo_font_options_destroy (options);
	cairo_text_extents_t ext;
	cairo_text_extents (cr, string, &ext);
	cairo_font_extents_t fext;
	cairo_font_extents (cr, &fext);
	CCoord x = rect.left;
	if (hAlign == kCenterText)
		x = rect.left + (rect.getWidth () - ext.x_advance) / 2.;
	else if (hAlign == kRightText)
		x = rect.right - ext.x_advance;
	const CCoord y = rect.top + (rect.getHeight () - (fext.ascent + fext.descent)) / 2. + fext.ascent;
	applySource (state.fontColor);
	cairo_move_to (cr, x, y);
	cairo_show_text (cr, string);
	cairo_restore (cr);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
	if (!cr || !bitmap || !bitmap->getSurface () || !finite (dest) || !finite (offset))
		return;
	if (!(alpha > 0.f))
		return;
	CRect r (dest);
	r.normalize ();
	cairo_save (cr);
	cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
	cairo_clip (cr);
	cairo_set_source_surface (cr, bitmap->getSurface (), r.left - offset.x, r.top - offset.y);
	cairo_paint_with_alpha (cr, std::fmin (alpha, 1.f) * state.globalAlpha);
	cairo_restore (cr);
}

CGraphicsPath* CDrawContext::createGraphicsPath () { return new CGraphicsPath; }

void CDrawContext::appendPath (const CGraphicsPath& path)
{
	for (const auto& e : path.getElements ())
	{
		switch (e.type)
		{
			case CGraphicsPath::Element::kRect:
			{
				if (!finite (e.rect))
					break;
				CRect r (e.rect);
				r.normalize ();
				cairo_new_sub_path (cr);
				cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
				break;
			}
			case CGraphicsPath::Element::kEllipse:
			{
				CRect r (e.rect);
				r.normalize ();
				if (!finite (r) || r.getWidth () <= 0. || r.getHeight () <= 0.)
					break;
				cairo_new_sub_path (cr);
				cairo_save (cr);
				cairo_translate (cr, r.left + r.getWidth () / 2., r.top + r.getHeight () / 2.);
				cairo_scale (cr, r.getWidth () / 2., r.getHeight () / 2.);
				cairo_arc (cr, 0., 0., 1., 0., 2. * 3.14159265358979323846);
				cairo_restore (cr);
				cairo_close_path (cr);
				break;
			}
			case CGraphicsPath::Element::kBeginSubpath:
				if (finite (e.point))
				{
					cairo_new_sub_path (cr);
					cairo_move_to (cr, e.point.x, e.point.y);
				}
				break;
			case CGraphicsPath::Element::kLine:
				if (finite (e.point))
					cairo_line_to (cr, e.point.x, e.point.y);
				break;
			case CGraphicsPath::Element::kCloseSubpath: cairo_close_path (cr); break;
		}
	}
}

void CDrawContext::drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode)
{
	if (!cr || !path)
		return;
	cairo_new_path (cr);
	applyLine ();
	appendPath (*path);
	if (mode == kPathStroked)
	{
		applySource (state.frameColor);
		cairo_stroke (cr);
	}
	else
	{
		cairo_set_fill_rule (cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
		                                                    : CAIRO_FILL_RULE_WINDING);
		applySource (state.fillColor);
		cairo_fill (cr);
	}
}

//------------------------------------------------------------------------
SharedPointer<COffscreenContext> COffscreenContext::create (const CPoint& size, double scaleFactor)
{
	if (!(scaleFactor > 0.) || !std::isfinite (scaleFactor))
		return nullptr;
	const double w = std::ceil (size.x * scaleFactor);
	const double h = std::ceil (size.y * scaleFactor);
	if (!(w >= 1. && h >= 1. && w <= 16384. && h <= 16384.))
		return nullptr;
	auto bitmap = owned (new CBitmap (w, h));
	if (!bitmap->isLoaded ())
		return nullptr;
	cairo_t* cr = cairo_create (bitmap->getSurface ());
	if (cairo_status (cr) != CAIRO_STATUS_SUCCESS)
	{
		cairo_destroy (cr);
		return nullptr;
	}
	cairo_scale (cr, scaleFactor, scaleFactor);
	auto ctx = owned (new COffscreenContext (cr, bitmap, CRect (0., 0., size.x, size.y), scaleFactor));
	cairo_destroy (cr); // the context holds its own reference
	return ctx;
}

COffscreenContext::COffscreenContext (_cairo* cr, CBitmap* bitmap, const CRect& rect,
                                      double scaleFactor)
: CDrawContext (cr, rect, scaleFactor), bitmap (bitmap)
{
	bitmap->remember ();
}

COffscreenContext::~COffscreenContext () noexcept { bitmap->forget (); }

} // namespace VSTGUI
