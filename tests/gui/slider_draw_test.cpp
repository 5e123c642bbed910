// Drawing: the exact context calls, and pixels of a real rendering.
#include "slidertestutil.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cgraphicspath.h"

#include <sstream>
#include <string>
#include <vector>

namespace VSTGUI {
namespace test {
namespace {

using S = CSliderBase;
using Log = std::vector<std::string>;

std::string str (const CRect& r)
{
	std::ostringstream s;
	s << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
	return s.str ();
}

std::string str (const CColor& c)
{
	std::ostringstream s;
	s << int (c.red) << "," << int (c.green) << "," << int (c.blue) << "," << int (c.alpha);
	return s.str ();
}

// Logs every state change and figure; draws nothing.
class RecordingContext : public CDrawContext
{
public:
	explicit RecordingContext (bool withPaths, double scale = 1.)
	: CDrawContext (CRect (0, 0, 400, 400), scale), withPaths (withPaths)
	{
	}

	void setDrawMode (CDrawMode mode) override
	{
		log.push_back (mode () == kAntiAliasing ? "antialias" : "alias");
		CDrawContext::setDrawMode (mode);
	}
	void setLineStyle (const CLineStyle& style) override
	{
		log.push_back (style == kLineSolid ? "solid" : "other line style");
		CDrawContext::setLineStyle (style);
	}
	void setLineWidth (CCoord width) override
	{
		std::ostringstream s;
		s << "width " << width;
		log.push_back (s.str ());
		CDrawContext::setLineWidth (width);
	}
	void setFrameColor (const CColor& c) override { log.push_back ("frame " + str (c)); }
	void setFillColor (const CColor& c) override { log.push_back ("fill " + str (c)); }
	void drawRect (const CRect& r, const CDrawStyle style) override
	{
		static const char* names[] = {"stroked", "filled", "filled+stroked"};
		log.push_back (std::string ("rect ") + str (r) + " " + names[style]);
	}
	void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) override
	{
		std::ostringstream s;
		s << "bitmap " << bitmap->getWidth () << "x" << bitmap->getHeight () << " " << str (dest)
		  << " at " << offset.x << "," << offset.y << " alpha " << alpha;
		log.push_back (s.str ());
	}
	CGraphicsPath* createGraphicsPath () override
	{
		if (!withPaths)
			return nullptr;
		auto* path = new CGraphicsPath;
		path->remember ();
		paths.push_back (path);
		return path;
	}
	void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode) override
	{
		std::string line = mode == kPathStroked ? "stroke" : "fill";
		for (const auto& e : path->getElements ())
			line += e.type == CGraphicsPath::Element::kRect ? " " + str (e.rect) : " ?";
		log.push_back (line);
	}

	// Paths still referenced by anybody but this context.
	int leakedPaths () const
	{
		int n = 0;
		for (auto* p : paths)
			n += p->getNumberOfReferences () > 1;
		return n;
	}
	~RecordingContext () noexcept override
	{
		for (auto* p : paths)
			p->forget ();
	}

	Log log;

private:
	bool withPaths;
	std::vector<CGraphicsPath*> paths;
};

const CRect kHView (10, 20, 210, 40);
const CRect kVView (30, 10, 50, 210);

SharedPointer<TestSlider> makeDrawn (const CRect& r, int32_t style, int32_t drawStyle, float value)
{
	auto s = owned (makeSlider (r, style, nullptr));
	s->setDrawStyle (drawStyle);
	s->setFrameColor (CColor (1, 2, 3, 4));
	s->setBackColor (CColor (5, 6, 7, 8));
	s->setValueColor (CColor (9, 10, 11, 12));
	s->setValue (value);
	return s;
}

Log draw (CSlider& s, bool withPaths, double scale = 1.)
{
	auto ctx = owned (new RecordingContext (withPaths, scale));
	s.draw (ctx);
	// Every path the slider asked for was released again.
	EXPECT_EQ (ctx->leakedPaths (), 0);
	return ctx->log;
}

Log with (std::initializer_list<std::string> tail, CCoord width = 1.)
{
	std::ostringstream w;
	w << "width " << width;
	Log l {"antialias", "solid", w.str ()};
	l.insert (l.end (), tail);
	return l;
}

TEST (SliderDraw, StyleZeroDrawsOnlyBitmaps)
{
	auto handle = makeOwned<CBitmap> (20., 10.);
	auto back = makeOwned<CBitmap> (300., 30.);
	auto s = owned (new TestSlider (kHView, nullptr, 0, 0, 0, handle, back, CPoint (3, 4),
	                                S::kHorizontal | S::kLeft));
	s->setViewSize (kHView);
	s->setValue (0.5f); // travel 180: handle at 10 + 90
	EXPECT_EQ (draw (*s, true), (Log {"bitmap 300x30 (10,20,210,40) at 3,4 alpha 1",
	                                   "bitmap 20x10 (100,20,120,30) at 0,0 alpha 1"}));
	EXPECT_FALSE (s->isDirty ());

	// Bits without a meaning: the line settings, then only the bitmaps.
	s->setDrawStyle (32);
	EXPECT_EQ (draw (*s, true), (Log {"bitmap 300x30 (10,20,210,40) at 3,4 alpha 1", "antialias",
	                                   "solid", "width 1",
	                                   "bitmap 20x10 (100,20,120,30) at 0,0 alpha 1"}));
}

TEST (SliderDraw, DisabledBackgroundWhileMouseDisabled)
{
	auto back = makeOwned<CBitmap> (300., 30.);
	auto disabled = makeOwned<CBitmap> (100., 10.);
	auto s = owned (new TestSlider (kHView, nullptr, 0, 0, 0, nullptr, back, CPoint (0, 0),
	                                S::kHorizontal));
	s->setDisabledBackground (disabled);
	s->setMouseEnabled (false);
	EXPECT_EQ (draw (*s, true), (Log {"bitmap 100x10 (10,20,210,40) at 0,0 alpha 1"}));
}

TEST (SliderDraw, ValueBarAlone)
{
	auto s = makeDrawn (kHView, S::kHorizontal, CSlider::kDrawValue, 0.25f);
	EXPECT_EQ (draw (*s, true),
	           with ({"alias", "fill 9,10,11,12", "fill (10,20,60,40)"}));
	EXPECT_EQ (draw (*s, false),
	           with ({"alias", "fill 9,10,11,12", "rect (10,20,60,40) filled"}));
}

TEST (SliderDraw, BackAloneSetsBothColours)
{
	auto s = makeDrawn (kHView, S::kHorizontal, CSlider::kDrawBack, 0.25f);
	EXPECT_EQ (draw (*s, true),
	           with ({"frame 1,2,3,4", "fill 5,6,7,8", "fill (10,20,210,40)"}));
	EXPECT_EQ (draw (*s, false),
	           with ({"frame 1,2,3,4", "fill 5,6,7,8", "rect (10,20,210,40) filled"}));
	s->setDrawStyle (CSlider::kDrawFrame);
	EXPECT_EQ (draw (*s, false),
	           with ({"frame 1,2,3,4", "fill 5,6,7,8", "rect (10,20,210,40) stroked"}));
	s->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawBack);
	EXPECT_EQ (draw (*s, false),
	           with ({"frame 1,2,3,4", "fill 5,6,7,8", "rect (10,20,210,40) filled+stroked"}));
}

TEST (SliderDraw, FrameInsetsTheBar)
{
	auto s = makeDrawn (kHView, S::kHorizontal,
	                    CSlider::kDrawFrame | CSlider::kDrawBack | CSlider::kDrawValue, 0.5f);
	s->setFrameWidth (2.);
	// Paths: frame along the view inset by 1, bar 2 inside the edges.
	EXPECT_EQ (draw (*s, true), with ({"frame 1,2,3,4", "fill 5,6,7,8", "fill (11,21,209,39)",
	                                   "stroke (11,21,209,39)", "alias", "fill 9,10,11,12",
	                                   "fill (12,22,110,38)"},
	                                  2.));
	// No paths: frame along the view itself, bar 1 inside.
	EXPECT_EQ (draw (*s, false), with ({"frame 1,2,3,4", "fill 5,6,7,8",
	                                    "rect (10,20,210,40) filled+stroked", "alias",
	                                    "fill 9,10,11,12", "rect (11,21,110,39) filled"},
	                                   2.));
}

TEST (SliderDraw, NegativeFrameWidthIsHairline)
{
	auto s = makeDrawn (kHView, S::kHorizontal, CSlider::kDrawFrame, 0.f);
	s->setFrameWidth (-1.);
	EXPECT_EQ (draw (*s, true, 2.),
	           with ({"frame 1,2,3,4", "fill 5,6,7,8", "stroke (10.25,20.25,209.75,39.75)"},
	                 0.5));
}

TEST (SliderDraw, BarsTooThinAreSkipped)
{
	auto s = makeDrawn (kHView, S::kHorizontal, CSlider::kDrawValue, 0.f);
	EXPECT_EQ (draw (*s, true), with ({"alias"}));
	s->setValue (0.002f); // 0.4 wide
	EXPECT_EQ (draw (*s, true), with ({"alias"}));
	s->setValue (0.003f); // 0.6 wide
	EXPECT_EQ (draw (*s, true), with ({"alias", "fill 9,10,11,12", "fill (10,20,10.6,40)"}));
	s->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawValueFromCenter);
	s->setValue (0.5f);
	EXPECT_EQ (draw (*s, true), with ({"alias"}));
}

TEST (SliderDraw, BarDirections)
{
	struct Case
	{
		const CRect& view;
		int32_t style;
		int32_t drawStyle;
		float value;
		const char* bar;
	} cases[] = {
	    {kHView, S::kHorizontal, 0, 0.25f, "(10,20,60,40)"},
	    {kHView, S::kHorizontal, CSlider::kDrawInverted, 0.25f, "(160,20,210,40)"},
	    {kHView, S::kHorizontal, CSlider::kDrawValueFromCenter, 0.75f, "(110,20,160,40)"},
	    {kHView, S::kHorizontal, CSlider::kDrawValueFromCenter, 0.25f, "(60,20,110,40)"},
	    {kHView, S::kHorizontal, CSlider::kDrawValueFromCenter | CSlider::kDrawInverted, 0.25f,
	     "(110,20,160,40)"},
	    {kVView, S::kVertical, 0, 0.25f, "(30,160,50,210)"},
	    {kVView, S::kVertical, CSlider::kDrawInverted, 0.25f, "(30,10,50,60)"},
	    {kVView, S::kVertical, CSlider::kDrawValueFromCenter, 1.f, "(30,110,50,210)"},
	    {kVView, S::kVertical, CSlider::kDrawValueFromCenter, 0.f, "(30,10,50,110)"},
	    {kVView, S::kVertical, CSlider::kDrawValueFromCenter | CSlider::kDrawInverted, 1.f,
	     "(30,10,50,110)"},
	    // The slider's own direction bits do not flip the bar.
	    {kHView, S::kHorizontal | S::kRight, 0, 0.25f, "(10,20,60,40)"},
	    {kVView, S::kVertical | S::kTop, 0, 0.25f, "(30,160,50,210)"},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (std::string (c.bar));
		auto s = makeDrawn (c.view, c.style, CSlider::kDrawValue | c.drawStyle, c.value);
		EXPECT_EQ (draw (*s, true), with ({"alias", "fill 9,10,11,12", std::string ("fill ") + c.bar}));
	}
}

TEST (SliderDraw, HandleDrawnLastAtItsRect)
{
	auto handle = makeOwned<CBitmap> (10., 20.);
	auto s = owned (new TestSlider (kVView, nullptr, 0, CPoint (0, 0), 200, handle, nullptr,
	                                CPoint (0, 0), S::kVertical | S::kBottom));
	s->setDrawStyle (CSlider::kDrawValue);
	s->setValueColor (CColor (9, 10, 11, 12));
	s->setValue (0.25f); // travel 180, flipped: 0.75 * 180 = 135
	EXPECT_EQ (draw (*s, true), with ({"alias", "fill 9,10,11,12", "fill (30,160,50,210)",
	                                   "bitmap 10x20 (30,145,40,165) at 0,0 alpha 1"}));
}

//------------------------------------------------------------------------
// Pixels of a real rendering.

bool near (const CColor& a, const CColor& b)
{
	auto d = [] (int x, int y) { return x > y ? x - y : y - x; };
	return d (a.red, b.red) <= 2 && d (a.green, b.green) <= 2 && d (a.blue, b.blue) <= 2 &&
	       d (a.alpha, b.alpha) <= 2;
}

TEST (SliderPixels, FrameBackValueAndHandle)
{
	const CColor red (255, 0, 0, 255), green (0, 255, 0, 255), blue (0, 0, 255, 255),
	    white (255, 255, 255, 255);

	auto handleCtx = COffscreenContext::create (CPoint (10, 20));
	ASSERT_TRUE (handleCtx);
	handleCtx->setFillColor (white);
	handleCtx->drawRect (CRect (0, 0, 10, 20), kDrawFilled);
	CBitmap* handle = handleCtx->getBitmap ();

	auto s = owned (new TestSlider (CRect (0, 0, 100, 20), nullptr, 0, 0, 0, handle, nullptr,
	                                CPoint (0, 0), S::kHorizontal | S::kLeft));
	s->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawBack | CSlider::kDrawValue);
	s->setFrameWidth (2.);
	s->setFrameColor (red);
	s->setBackColor (blue);
	s->setValueColor (green);
	s->setViewSize (CRect (0, 0, 100, 20));
	s->setValue (0.5f); // bar 2..50, handle at 45..55

	auto ctx = COffscreenContext::create (CPoint (100, 20));
	ASSERT_TRUE (ctx);
	s->draw (ctx);
	const CBitmap* px = ctx->getBitmap ();
	EXPECT_TRUE (near (px->getPixel (0, 10), red));
	EXPECT_TRUE (near (px->getPixel (99, 10), red));
	EXPECT_TRUE (near (px->getPixel (80, 0), red));
	EXPECT_TRUE (near (px->getPixel (10, 10), green));
	EXPECT_TRUE (near (px->getPixel (2, 2), green));
	EXPECT_TRUE (near (px->getPixel (80, 10), blue));
	EXPECT_TRUE (near (px->getPixel (50, 10), white));
	EXPECT_TRUE (near (px->getPixel (44, 10), green));
	EXPECT_TRUE (near (px->getPixel (56, 10), blue));
}

TEST (SliderPixels, VerticalBarGrowsFromBottom)
{
	auto s = owned (makeSlider (CRect (0, 0, 20, 100), S::kVertical | S::kBottom, nullptr, 1., 1.));
	s->setDrawStyle (CSlider::kDrawValue);
	s->setValueColor (CColor (0, 255, 0, 255));
	s->setValue (0.3f);
	auto ctx = COffscreenContext::create (CPoint (20, 100));
	ASSERT_TRUE (ctx);
	s->draw (ctx);
	const CBitmap* px = ctx->getBitmap ();
	EXPECT_TRUE (near (px->getPixel (10, 95), CColor (0, 255, 0, 255)));
	EXPECT_TRUE (near (px->getPixel (10, 71), CColor (0, 255, 0, 255)));
	EXPECT_EQ (px->getPixel (10, 68).alpha, 0);
	EXPECT_EQ (px->getPixel (10, 5).alpha, 0);
}

//------------------------------------------------------------------------
TEST (SliderBitmaps, MissingFileGivesEmptyHandle)
{
	auto missing = makeOwned<CBitmap> (CResourceDescription ("/nonexistent/handle.png"));
	ASSERT_FALSE (missing->isLoaded ());
	auto s = owned (new TestSlider (kHView, nullptr, 0, CPoint (0, 0), 200, missing, missing,
	                                CPoint (0, 0), S::kHorizontal));
	EXPECT_EQ (s->getHandleSizePrivate (), CPoint (0, 0));
	EXPECT_EQ (s->getHandleRangePrivate (), 200.);
	EXPECT_TRUE (s->sizeToFit ());
	EXPECT_EQ (s->getViewSize (), CRect (10, 20, 10, 20));
	s->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawFrame);
	auto ctx = COffscreenContext::create (CPoint (50, 50));
	ASSERT_TRUE (ctx);
	s->draw (ctx);
	CPoint p (10, 20);
	s->onMouseDown (p, kLButton);
	s->onMouseUp (p, 0);
	EXPECT_GE (s->getValue (), 0.f);
	EXPECT_LE (s->getValue (), 1.f);
}

} // namespace
} // namespace test
} // namespace VSTGUI
