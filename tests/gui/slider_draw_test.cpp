// Drawing: the exact context calls, pixels of a real rendering, a missing bitmap file.
#include "slidertestutil.h"

#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cgraphicspath.h"

#include <sstream>
#include <string>
#include <vector>

namespace VSTGUI {
namespace test {
namespace {

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

// Logs state changes and figures instead of drawing.
class RecordingContext : public CDrawContext
{
public:
	RecordingContext (bool withPaths, double scale)
	: CDrawContext (CRect (0, 0, 400, 400), scale), withPaths (withPaths)
	{
	}
	~RecordingContext () noexcept override
	{
		for (auto* p : paths)
			p->forget ();
	}

	void setDrawMode (CDrawMode m) override { log.push_back (m () == kAntiAliasing ? "aa" : "alias"); }
	void setLineStyle (const CLineStyle& s) override { log.push_back (s == kLineSolid ? "solid" : "?"); }
	void setLineWidth (CCoord w) override
	{
		std::ostringstream s;
		s << "width " << w;
		log.push_back (s.str ());
	}
	void setFrameColor (const CColor& c) override { log.push_back ("frame " + str (c)); }
	void setFillColor (const CColor& c) override { log.push_back ("fill " + str (c)); }
	void drawRect (const CRect& r, const CDrawStyle style) override
	{
		static const char* names[] = {"stroked", "filled", "filled+stroked"};
		log.push_back ("rect " + str (r) + " " + names[style]);
	}
	void drawBitmap (CBitmap* b, const CRect& dest, const CPoint& offset, float alpha) override
	{
		std::ostringstream s;
		s << "bitmap " << b->getWidth () << " " << str (dest) << " " << offset.x << ","
		  << offset.y << " " << alpha;
		log.push_back (s.str ());
	}
	CGraphicsPath* createGraphicsPath () override
	{
		if (!withPaths)
			return nullptr;
		paths.push_back (new CGraphicsPath);
		paths.back ()->remember ();
		return paths.back ();
	}
	void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode) override
	{
		std::string line = mode == kPathStroked ? "stroke" : "fill";
		for (const auto& e : path->getElements ())
			line += e.type == CGraphicsPath::Element::kRect ? " " + str (e.rect) : " ?";
		log.push_back (line);
	}
	// Paths the slider did not release.
	int leaked () const
	{
		int n = 0;
		for (auto* p : paths)
			n += p->getNumberOfReferences () > 1;
		return n;
	}

	Log log;

private:
	bool withPaths;
	std::vector<CGraphicsPath*> paths;
};

Log draw (CSlider& s, bool withPaths, double scale = 1.)
{
	auto ctx = owned (new RecordingContext (withPaths, scale));
	s.draw (ctx);
	EXPECT_EQ (ctx->leaked (), 0);
	EXPECT_FALSE (s.isDirty ());
	return ctx->log;
}

const CRect kHView (10, 20, 210, 40);
const CRect kVView (30, 10, 50, 210);
const std::string kColours[] = {"frame 1,2,3,4", "fill 5,6,7,8"};

TEST (SliderDraw, Calls)
{
	constexpr int32_t F = CSlider::kDrawFrame, B = CSlider::kDrawBack, V = CSlider::kDrawValue,
	                  C = CSlider::kDrawValueFromCenter, I = CSlider::kDrawInverted;
	struct Case
	{
		int32_t drawStyle;
		bool vertical;
		float value;
		CCoord frameWidth;
		bool paths;
		Log expected; // after the line settings and colours
	} cases[] = {
	    {32, false, 0.5f, 1, true, {}},
	    {V, false, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (10,20,60,40)"}},
	    {V, false, 0.25f, 1, false, {"alias", "fill 9,10,11,12", "rect (10,20,60,40) filled"}},
	    {B, false, 0.f, 1, true, {"fill (10,20,210,40)"}},
	    {B, false, 0.f, 1, false, {"rect (10,20,210,40) filled"}},
	    {F, false, 0.f, 1, false, {"rect (10,20,210,40) stroked"}},
	    {F | B | V, false, 0.5f, 2, true,
	     {"fill (11,21,209,39)", "stroke (11,21,209,39)", "alias", "fill 9,10,11,12",
	      "fill (12,22,110,38)"}},
	    {F | B | V, false, 0.5f, 2, false,
	     {"rect (10,20,210,40) filled+stroked", "alias", "fill 9,10,11,12",
	      "rect (11,21,110,39) filled"}},
	    {F, false, 0.f, -1, true, {"stroke (10.25,20.25,209.75,39.75)"}}, // hairline at 2x
	    {V, false, 0.002f, 1, true, {"alias"}},                            // 0.4 wide
	    {V, false, 0.003f, 1, true, {"alias", "fill 9,10,11,12", "fill (10,20,10.6,40)"}},
	    {V | C, false, 0.5f, 1, true, {"alias"}},
	    {V | I, false, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (160,20,210,40)"}},
	    {V | C, false, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (60,20,110,40)"}},
	    {V | C | I, false, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (110,20,160,40)"}},
	    {V, true, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (30,160,50,210)"}},
	    {V | I, true, 0.25f, 1, true, {"alias", "fill 9,10,11,12", "fill (30,10,50,60)"}},
	    {V | C, true, 1.f, 1, true, {"alias", "fill 9,10,11,12", "fill (30,110,50,210)"}},
	    {V | C, true, 0.f, 1, true, {"alias", "fill 9,10,11,12", "fill (30,10,50,110)"}},
	    {V | C | I, true, 1.f, 1, true, {"alias", "fill 9,10,11,12", "fill (30,10,50,110)"}},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (std::to_string (c.drawStyle) + (c.vertical ? " vertical " : " horizontal ") +
		              std::to_string (c.value));
		// The slider's own direction bits do not flip the bar.
		auto s = makeSlider (c.vertical ? kVView : kHView,
		                     c.vertical ? S::kVertical | S::kTop : S::kHorizontal | S::kRight, nullptr);
		s->setDrawStyle (c.drawStyle);
		s->setFrameWidth (c.frameWidth);
		s->setFrameColor (CColor (1, 2, 3, 4));
		s->setBackColor (CColor (5, 6, 7, 8));
		s->setValueColor (CColor (9, 10, 11, 12));
		s->setValue (c.value);
		std::ostringstream width;
		width << "width " << (c.frameWidth < 0 ? 0.5 : c.frameWidth);
		Log expected {"aa", "solid", width.str ()};
		if (c.drawStyle & (F | B))
			expected.insert (expected.end (), std::begin (kColours), std::end (kColours));
		expected.insert (expected.end (), c.expected.begin (), c.expected.end ());
		EXPECT_EQ (draw (*s, c.paths, c.frameWidth < 0 ? 2. : 1.), expected);
	}
}

TEST (SliderDraw, BitmapsAroundTheShapes)
{
	auto handle = bitmap (20, 10);
	auto back = bitmap (300, 30);
	auto s = owned (new TestSlider (kHView, nullptr, 0, CPoint (0, 0), 200, handle, back,
	                                CPoint (3, 4), S::kHorizontal | S::kLeft));
	s->setValue (0.5f); // travel 180: handle at 10 + 90
	const std::string bg = "bitmap 300 (10,20,210,40) 3,4 1";
	const std::string knob = "bitmap 20 (100,20,120,30) 0,0 1";
	EXPECT_EQ (draw (*s, true), (Log {bg, knob}));
	s->setDrawStyle (CSlider::kDrawValue);
	s->setValueColor (CColor (9, 10, 11, 12));
	EXPECT_EQ (draw (*s, true), (Log {bg, "aa", "solid", "width 1", "alias", "fill 9,10,11,12",
	                                  "fill (10,20,110,40)", knob}));
	// The disabled background while the mouse is off.
	auto disabled = bitmap (100, 10);
	s->setDisabledBackground (disabled);
	s->setMouseEnabled (false);
	s->setDrawStyle (0);
	EXPECT_EQ (draw (*s, true), (Log {"bitmap 100 (10,20,210,40) 3,4 1", knob}));
}

//------------------------------------------------------------------------
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

	auto s = owned (new TestSlider (CRect (0, 0, 100, 20), nullptr, 0, CPoint (0, 0), 100,
	                                handleCtx->getBitmap (), nullptr, CPoint (), S::kHorizontal));
	s->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawBack | CSlider::kDrawValue);
	s->setFrameWidth (2.);
	s->setFrameColor (red);
	s->setBackColor (blue);
	s->setValueColor (green);
	s->setValue (0.5f); // frame 0..2 wide, bar 2..50, handle 45..55

	auto ctx = COffscreenContext::create (CPoint (100, 20));
	ASSERT_TRUE (ctx);
	s->draw (ctx);
	const CBitmap* px = ctx->getBitmap ();
	const std::pair<CPoint, CColor> probes[] = {
	    {{0, 10}, red},   {{99, 10}, red},   {{80, 0}, red},    {{2, 2}, green},
	    {{44, 10}, green}, {{50, 10}, white}, {{56, 10}, blue}, {{80, 17}, blue}};
	for (const auto& [p, colour] : probes)
		EXPECT_TRUE (near (px->getPixel (int32 (p.x), int32 (p.y)), colour)) << p.x << "," << p.y;

	auto v = makeSlider (CRect (0, 0, 20, 100), S::kVertical | S::kBottom, nullptr, 1, 1);
	v->setDrawStyle (CSlider::kDrawValue);
	v->setValueColor (green);
	v->setValue (0.3f); // grows up from the bottom to y 70
	auto vctx = COffscreenContext::create (CPoint (20, 100));
	ASSERT_TRUE (vctx);
	v->draw (vctx);
	EXPECT_TRUE (near (vctx->getBitmap ()->getPixel (10, 71), green));
	EXPECT_EQ (vctx->getBitmap ()->getPixel (10, 68).alpha, 0);
}

TEST (SliderBitmaps, MissingFileIsHarmless)
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
