#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cgraphicspath.h"
#include "vstgui/lib/cview.h"
#include <cairo.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <string>
#include <sys/stat.h>

using namespace VSTGUI;

namespace {
const double kNaN = std::nan ("");

std::string tmpFile (const char* name) { return std::string (TEST_TMP_DIR) + "/" + name; }

SharedPointer<COffscreenContext> whiteCanvas (CCoord w, CCoord h)
{
	auto ctx = COffscreenContext::create (CPoint (w, h));
	if (ctx)
	{
		ctx->setFillColor (kWhiteCColor);
		ctx->drawRect (CRect (0., 0., w, h), kDrawFilled);
	}
	return ctx;
}

CColor pixel (COffscreenContext* ctx, int32 x, int32 y) { return ctx->getBitmap ()->getPixel (x, y); }
} // namespace

TEST (Offscreen, filledRectCoversExactlyItsPixels)
{
	auto ctx = whiteCanvas (40., 30.);
	ASSERT_TRUE (ctx);
	ctx->setDrawMode (kAliasing);
	ctx->setFillColor (kRedCColor);
	ctx->drawRect (CRect (10., 5., 30., 15.), kDrawFilled);
	EXPECT_EQ (pixel (ctx, 10, 5), kRedCColor);
	EXPECT_EQ (pixel (ctx, 29, 14), kRedCColor);
	EXPECT_EQ (pixel (ctx, 9, 5), kWhiteCColor);
	EXPECT_EQ (pixel (ctx, 30, 10), kWhiteCColor);
	EXPECT_EQ (pixel (ctx, 20, 15), kWhiteCColor);
	EXPECT_EQ (pixel (ctx, 20, 4), kWhiteCColor);

	ctx->setFillColor (kBlueCColor);
	ctx->drawRect (CRect (5., 25., 1., 21.), kDrawFilled); // reversed edges
	EXPECT_EQ (pixel (ctx, 1, 21), kBlueCColor);
	EXPECT_EQ (pixel (ctx, 4, 24), kBlueCColor);
	EXPECT_EQ (pixel (ctx, 5, 25), kWhiteCColor);
}

TEST (Offscreen, pathFillAndStroke)
{
	auto ctx = whiteCanvas (40., 40.);
	ASSERT_TRUE (ctx);
	auto path = owned (ctx->createGraphicsPath ());
	ASSERT_TRUE (path);
	path->addRect (CRect (10., 10., 30., 30.));
	ctx->setDrawMode (kAntiAliasing);
	ctx->setFillColor (kBlackCColor);
	ctx->setFrameColor (kRedCColor);
	ctx->setLineWidth (2.);
	ctx->drawGraphicsPath (path, CDrawContext::kPathFilled);
	ctx->drawGraphicsPath (path, CDrawContext::kPathStroked);
	// The 2-pixel stroke straddles the edge: one pixel outside, one inside.
	EXPECT_EQ (pixel (ctx, 9, 20), kRedCColor);
	EXPECT_EQ (pixel (ctx, 10, 20), kRedCColor);
	EXPECT_EQ (pixel (ctx, 11, 20), kBlackCColor);
	EXPECT_EQ (pixel (ctx, 8, 20), kWhiteCColor);
	EXPECT_EQ (pixel (ctx, 20, 20), kBlackCColor);
	EXPECT_EQ (path->getBoundingBox (), CRect (10., 10., 30., 30.));

	ctx->setFillColor (kBlueCColor);
	ctx->drawEllipse (CRect (0., 0., 8., 8.), kDrawFilled);
	EXPECT_EQ (pixel (ctx, 4, 4), kBlueCColor);
	EXPECT_EQ (pixel (ctx, 0, 0), kWhiteCColor);
}

TEST (Offscreen, bitmapDrawUsesOffsetAndClipsToDest)
{
	// A 4 x 8 source: upper half red, lower half blue.
	auto src = COffscreenContext::create (CPoint (4., 8.));
	ASSERT_TRUE (src);
	src->setFillColor (kRedCColor);
	src->drawRect (CRect (0., 0., 4., 4.), kDrawFilled);
	src->setFillColor (kBlueCColor);
	src->drawRect (CRect (0., 4., 4., 8.), kDrawFilled);

	auto ctx = whiteCanvas (20., 20.);
	ASSERT_TRUE (ctx);
	CBitmap* bitmap = src->getBitmap ();
	bitmap->draw (ctx, CRect (10., 10., 14., 14.), CPoint (0., 4.));
	EXPECT_EQ (pixel (ctx, 10, 10), kBlueCColor);
	EXPECT_EQ (pixel (ctx, 13, 13), kBlueCColor);
	EXPECT_EQ (pixel (ctx, 10, 14), kWhiteCColor); // clipped to dest
	bitmap->draw (ctx, CRect (0., 0., 4., 4.));
	EXPECT_EQ (pixel (ctx, 2, 2), kRedCColor);
}

TEST (Offscreen, scaleFactorDoublesThePixels)
{
	auto ctx = COffscreenContext::create (CPoint (10., 10.), 2.);
	ASSERT_TRUE (ctx);
	EXPECT_EQ (ctx->getBitmap ()->getWidth (), 20.);
	EXPECT_EQ (ctx->getHairlineSize (), 0.5);
	ctx->setFillColor (kGreenCColor);
	ctx->drawRect (CRect (5., 5., 10., 10.), kDrawFilled);
	EXPECT_EQ (pixel (ctx, 10, 10), kGreenCColor);
	EXPECT_EQ (pixel (ctx, 9, 9).alpha, 0);
}

// Our own PNG reads back as written; an image without alpha channel, whose top byte per
// pixel is undefined, reads as opaque.
TEST (Offscreen, pngFilesReadBackAsWritten)
{
	auto ctx = whiteCanvas (16., 8.);
	ASSERT_TRUE (ctx);
	ctx->setFillColor (CColor (10, 200, 30, 255));
	ctx->drawRect (CRect (8., 0., 16., 8.), kDrawFilled);
	const std::string file = tmpFile ("roundtrip.png");
	ASSERT_TRUE (ctx->getBitmap ()->writePNG (file.c_str ()));
	auto loaded = owned (new CBitmap (CResourceDescription (file.c_str ())));
	ASSERT_TRUE (loaded->isLoaded ());
	EXPECT_EQ (loaded->getWidth (), 16.);
	EXPECT_EQ (loaded->getHeight (), 8.);
	EXPECT_EQ (loaded->getPixel (3, 3), kWhiteCColor);
	EXPECT_EQ (loaded->getPixel (12, 3), CColor (10, 200, 30, 255));

	cairo_surface_t* rgb = cairo_image_surface_create (CAIRO_FORMAT_RGB24, 3, 3);
	cairo_t* cr = cairo_create (rgb);
	cairo_set_source_rgb (cr, 0., 0., 1.);
	cairo_paint (cr);
	cairo_destroy (cr);
	ASSERT_EQ (cairo_surface_write_to_png (rgb, file.c_str ()), CAIRO_STATUS_SUCCESS);
	cairo_surface_destroy (rgb);
	auto opaque = owned (new CBitmap (CResourceDescription (file.c_str ())));
	ASSERT_TRUE (opaque->isLoaded ());
	EXPECT_EQ (cairo_image_surface_get_format (opaque->getSurface ()), CAIRO_FORMAT_RGB24);
	EXPECT_EQ (opaque->getPixel (1, 1), kBlueCColor);
	std::remove (file.c_str ());
}

TEST (BadInput, missingOrBrokenBitmapFile)
{
	auto missing = owned (new CBitmap (CResourceDescription ("/nonexistent/dir/none.png")));
	EXPECT_FALSE (missing->isLoaded ());
	EXPECT_EQ (missing->getWidth (), 0.);
	EXPECT_EQ (missing->getHeight (), 0.);
	EXPECT_EQ (missing->getPixel (0, 0), CColor (0, 0, 0, 0));
	EXPECT_FALSE (missing->writePNG (tmpFile ("never.png").c_str ()));

	const std::string junk = tmpFile ("junk.png");
	if (FILE* f = std::fopen (junk.c_str (), "wb"))
	{
		std::fputs ("not a png", f);
		std::fclose (f);
	}
	auto broken = owned (new CBitmap (CResourceDescription (junk.c_str ())));
	EXPECT_FALSE (broken->isLoaded ());

	// A header that names an image far too large is not decoded; a FIFO is not waited on.
	if (FILE* f = std::fopen (junk.c_str (), "wb"))
	{
		const unsigned char huge[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0,
		                              13,   'I', 'H', 'D', 'R',  0,    1,    0,    0, 0, 1,
		                              0,    0,   8,   6,   0,    0,    0,    0,    0, 0, 0};
		std::fwrite (huge, 1, sizeof (huge), f);
		std::fclose (f);
	}
	EXPECT_FALSE (owned (new CBitmap (CResourceDescription (junk.c_str ())))->isLoaded ());
	std::remove (junk.c_str ());
	ASSERT_EQ (::mkfifo (junk.c_str (), 0600), 0);
	EXPECT_FALSE (owned (new CBitmap (CResourceDescription (junk.c_str ())))->isLoaded ());
	std::remove (junk.c_str ());

	auto nullName = owned (new CBitmap (CResourceDescription (nullptr)));
	EXPECT_FALSE (nullName->isLoaded ());

	auto ctx = whiteCanvas (8., 8.);
	ASSERT_TRUE (ctx);
	missing->draw (ctx, CRect (0., 0., 8., 8.));
	ctx->drawBitmap (nullptr, CRect (0., 0., 8., 8.));
	EXPECT_EQ (pixel (ctx, 4, 4), kWhiteCColor);
}

TEST (BadInput, sizesThatGiveNoSurface)
{
	EXPECT_FALSE (COffscreenContext::create (CPoint (0., 10.)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (10., -1.)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (kNaN, 10.)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (1e9, 10.)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (10., 10.), 0.));
	EXPECT_FALSE (COffscreenContext::create (CPoint (10., 10.), kNaN));

	auto empty = owned (new CBitmap (0., 0.));
	EXPECT_FALSE (empty->isLoaded ());
	auto nanBitmap = owned (new CBitmap (kNaN, 5.));
	EXPECT_FALSE (nanBitmap->isLoaded ());

	auto ctx = whiteCanvas (1., 1.);
	ASSERT_TRUE (ctx);
	EXPECT_EQ (pixel (ctx, 1, 0), CColor (0, 0, 0, 0)); // outside: no read
	EXPECT_EQ (pixel (ctx, -1, 0), CColor (0, 0, 0, 0));
}

TEST (BadInput, nanAndZeroSizedFiguresDrawNothing)
{
	auto ctx = whiteCanvas (10., 10.);
	ASSERT_TRUE (ctx);
	ctx->setFillColor (kBlackCColor);
	ctx->setFrameColor (kBlackCColor);
	ctx->drawRect (CRect (kNaN, 0., 10., 10.), kDrawFilledAndStroked);
	ctx->drawRect (CRect (2., 2., 2., 8.), kDrawFilled);
	ctx->drawLine (CPoint (0., kNaN), CPoint (10., 10.));
	ctx->drawEllipse (CRect (0., 0., kNaN, 10.), kDrawFilled);
	ctx->setLineWidth (kNaN);
	ctx->drawRect (CRect (1., 1., 9., 9.), kDrawStroked);
	auto path = owned (ctx->createGraphicsPath ());
	path->addRect (CRect (0., kNaN, 10., 10.));
	path->beginSubpath (CPoint (kNaN, kNaN));
	path->addLine (CPoint (kNaN, 1.));
	ctx->drawGraphicsPath (path, CDrawContext::kPathFilled);
	ctx->drawString ("x", CRect (kNaN, 0., 10., 10.));
	ctx->drawBitmap (ctx->getBitmap (), CRect (0., 0., kNaN, 1.));
	ctx->setClipRect (CRect (kNaN, 0., 1., 1.));
	ctx->drawRect (CRect (0., 0., 10., 10.), kDrawFilled);
	for (int32 y = 0; y < 10; ++y)
		for (int32 x = 0; x < 10; ++x)
			ASSERT_EQ (pixel (ctx, x, y), kWhiteCColor) << x << "," << y;
}

// A description may ask for any frame width; a slider insets its frame rect by half of it.
TEST (BadInput, hugeLineWidthLeavesTheContextWorking)
{
	auto ctx = whiteCanvas (10., 10.);
	ASSERT_TRUE (ctx);
	ctx->setFrameColor (kBlackCColor);
	ctx->setDrawMode (kAntiAliasing);
	ctx->setLineWidth (1e8);
	auto path = owned (ctx->createGraphicsPath ());
	path->addRect (CRect (5e7, 5e7, 10. - 5e7, 10. - 5e7));
	ctx->drawGraphicsPath (path, CDrawContext::kPathStroked);
	ctx->setFillColor (kRedCColor);
	ctx->drawRect (CRect (0., 0., 10., 10.), kDrawFilled);
	EXPECT_EQ (pixel (ctx, 5, 5), kRedCColor);
}

TEST (Offscreen, clipAndSavedState)
{
	auto ctx = whiteCanvas (10., 10.);
	ASSERT_TRUE (ctx);
	ctx->saveGlobalState ();
	ctx->setClipRect (CRect (0., 0., 5., 10.));
	ctx->setFillColor (kBlackCColor);
	ctx->drawRect (CRect (0., 0., 10., 10.), kDrawFilled);
	ctx->restoreGlobalState ();
	EXPECT_EQ (ctx->getFillColor (), kWhiteCColor);
	EXPECT_EQ (ctx->getClipRect (), CRect (0., 0., 10., 10.));
	EXPECT_EQ (pixel (ctx, 4, 4), kBlackCColor);
	EXPECT_EQ (pixel (ctx, 5, 4), kWhiteCColor);
	ctx->restoreGlobalState (); // unbalanced: ignored
	ctx->drawRect (CRect (0., 0., 10., 10.), kDrawFilled);
	EXPECT_EQ (pixel (ctx, 9, 9), kWhiteCColor);
}

TEST (Bitmap, viewsHoldOneReferenceEach)
{
	auto bitmap = owned (new CBitmap (4., 4.));
	EXPECT_EQ (bitmap->getNumberOfReferences (), 1);
	{
		CView a (CRect (0., 0., 4., 4.));
		a.setBackground (bitmap);
		a.setBackground (bitmap); // same bitmap: no extra reference
		EXPECT_EQ (bitmap->getNumberOfReferences (), 2);
		CView copy (a);
		EXPECT_EQ (bitmap->getNumberOfReferences (), 3);
		copy.setBackground (nullptr);
		EXPECT_EQ (bitmap->getNumberOfReferences (), 2);
		a.setDisabledBackground (bitmap);
		EXPECT_EQ (bitmap->getNumberOfReferences (), 3);
	}
	EXPECT_EQ (bitmap->getNumberOfReferences (), 1);
}

TEST (Bitmap, drawBackgroundFollowsMouseEnabled)
{
	auto normal = owned (new CBitmap (2., 2.));
	auto disabled = owned (new CBitmap (2., 2.));
	CView v (CRect (0., 0., 2., 2.));
	EXPECT_EQ (v.getDrawBackground (), nullptr);
	v.setBackground (normal);
	v.setMouseEnabled (false);
	EXPECT_EQ (v.getDrawBackground (), normal.get ()); // no disabled bitmap
	v.setDisabledBackground (disabled);
	EXPECT_EQ (v.getDrawBackground (), disabled.get ());
	v.setMouseEnabled (true);
	EXPECT_EQ (v.getDrawBackground (), normal.get ());
}
