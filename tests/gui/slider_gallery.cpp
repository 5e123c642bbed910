// Renders sliders in several draw styles and values to PNG files for a visual check.
// Usage: slider_gallery <output folder>
#include "cslider.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace VSTGUI;

namespace {

using S = CSliderBase;

const CColor kBackdrop (40, 40, 48, 255);
const CColor kFrame (220, 220, 220, 255);
const CColor kBack (20, 60, 110, 255);
const CColor kValue (240, 170, 40, 255);

// A handle image: a light block with a dark centre line.
SharedPointer<CBitmap> makeHandle (CCoord w, CCoord h, bool horizontal)
{
	auto ctx = COffscreenContext::create (CPoint (w, h));
	if (!ctx)
		return nullptr;
	ctx->setFillColor (CColor (235, 235, 235, 255));
	ctx->drawRect (CRect (0, 0, w, h), kDrawFilled);
	ctx->setFillColor (CColor (30, 30, 30, 255));
	if (horizontal)
		ctx->drawRect (CRect (w / 2 - 1, 2, w / 2 + 1, h - 2), kDrawFilled);
	else
		ctx->drawRect (CRect (2, h / 2 - 1, w - 2, h / 2 + 1), kDrawFilled);
	return shared (ctx->getBitmap ());
}

// A striped background image.
SharedPointer<CBitmap> makeBackground (CCoord w, CCoord h)
{
	auto ctx = COffscreenContext::create (CPoint (w, h));
	if (!ctx)
		return nullptr;
	for (int i = 0; i * 10 < w + h; ++i)
	{
		ctx->setFillColor (i % 2 ? CColor (70, 70, 90, 255) : CColor (90, 90, 110, 255));
		if (w >= h)
			ctx->drawRect (CRect (i * 10, 0, i * 10 + 10, h), kDrawFilled);
		else
			ctx->drawRect (CRect (0, i * 10, w, i * 10 + 10), kDrawFilled);
	}
	return shared (ctx->getBitmap ());
}

struct Sample
{
	std::string name;
	bool horizontal;
	int32_t style;
	int32_t drawStyle;
	CCoord frameWidth;
	bool withHandle;
	bool withBackground;
	double scale;
};

bool render (const Sample& sample, float value, const std::filesystem::path& folder,
             std::vector<std::string>& written)
{
	const CRect view = sample.horizontal ? CRect (8, 8, 208, 32) : CRect (8, 8, 32, 208);
	const CPoint canvas (view.right + 8, view.bottom + 8);

	SharedPointer<CBitmap> handle;
	if (sample.withHandle)
		handle = sample.horizontal ? makeHandle (12, 24, true) : makeHandle (24, 12, false);
	SharedPointer<CBitmap> background;
	if (sample.withBackground)
		background = makeBackground (view.getWidth (), view.getHeight ());

	auto slider = owned (new CSlider (view, nullptr, 0, CPoint (0, 0),
	                                  static_cast<int32_t> (sample.horizontal ? view.getWidth ()
	                                                                          : view.getHeight ()),
	                                  handle, background, CPoint (0, 0), sample.style));
	slider->setDrawStyle (sample.drawStyle);
	slider->setFrameWidth (sample.frameWidth);
	slider->setFrameColor (kFrame);
	slider->setBackColor (kBack);
	slider->setValueColor (kValue);
	slider->setValue (value);

	auto ctx = COffscreenContext::create (canvas, sample.scale);
	if (!ctx)
		return false;
	ctx->setFillColor (kBackdrop);
	ctx->drawRect (CRect (0, 0, canvas.x, canvas.y), kDrawFilled);
	slider->draw (ctx);

	char suffix[16];
	std::snprintf (suffix, sizeof (suffix), "_%03d.png", static_cast<int> (value * 100.f + 0.5f));
	const auto path = folder / (sample.name + suffix);
	if (!ctx->getBitmap ()->writePNG (path.string ().c_str ()))
		return false;
	written.push_back (path.string ());
	return true;
}

} // namespace

int main (int argc, char* argv[])
{
	if (argc != 2)
	{
		std::fprintf (stderr, "usage: %s <output folder>\n", argv[0]);
		return 2;
	}
	const std::filesystem::path folder (argv[1]);
	std::error_code ec;
	std::filesystem::create_directories (folder, ec);
	if (ec)
	{
		std::fprintf (stderr, "cannot create %s: %s\n", argv[1], ec.message ().c_str ());
		return 1;
	}

	const int32_t fvb = CSlider::kDrawFrame | CSlider::kDrawBack | CSlider::kDrawValue;
	const int32_t h = S::kHorizontal | S::kLeft;
	const int32_t v = S::kVertical | S::kBottom;
	const std::vector<Sample> samples = {
	    {"h_frame_back_value", true, h, fvb, 2., false, false, 1.},
	    {"h_value_from_center", true, h, fvb | CSlider::kDrawValueFromCenter, 1., false, false, 1.},
	    {"h_value_inverted", true, h, fvb | CSlider::kDrawInverted, 1., false, false, 1.},
	    {"h_center_inverted", true, h,
	     fvb | CSlider::kDrawValueFromCenter | CSlider::kDrawInverted, 1., false, false, 1.},
	    {"h_handle_right", true, S::kHorizontal | S::kRight, CSlider::kDrawValue, 1., true, true,
	     1.},
	    {"h_bitmaps_only", true, h, 0, 1., true, true, 1.},
	    {"h_hairline_x2", true, h, CSlider::kDrawFrame | CSlider::kDrawValue, -1., true, false,
	     2.},
	    {"v_frame_back_value", false, v, fvb, 2., false, false, 1.},
	    {"v_value_from_center", false, v, fvb | CSlider::kDrawValueFromCenter, 1., false, false, 1.},
	    {"v_value_inverted", false, v, fvb | CSlider::kDrawInverted, 1., false, false, 1.},
	    {"v_handle_value", false, v, CSlider::kDrawBack | CSlider::kDrawValue, 1., true, false, 1.},
	    {"v_handle_top", false, S::kVertical | S::kTop, CSlider::kDrawFrame, 1., true, true, 1.},
	};
	const float values[] = {0.f, 0.25f, 0.5f, 0.8f, 1.f};

	std::vector<std::string> written;
	for (const auto& sample : samples)
	{
		for (float value : values)
		{
			if (!render (sample, value, folder, written))
			{
				std::fprintf (stderr, "failed to render %s at %.2f\n", sample.name.c_str (),
				              value);
				return 1;
			}
		}
	}
	for (const auto& path : written)
		std::printf ("%s\n", path.c_str ());
	std::printf ("%zu images written\n", written.size ());
	return 0;
}
