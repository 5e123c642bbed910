#include "vstgui/lib/crect.h"
#include <gtest/gtest.h>
#include <cmath>

using namespace VSTGUI;

// Inset and offset are the slider drawing tests' (SliderDraw); here what they leave out.
TEST (Geometry, movesAndConstruction)
{
	CRect moved (10., 20., 210., 70.);
	moved.moveTo (1., 2.);
	EXPECT_EQ (moved, CRect (1., 2., 201., 52.));
	EXPECT_EQ (CRect (CPoint (10., 20.), CPoint (30., 200.)), CRect (10., 20., 40., 220.));
	EXPECT_EQ (CPoint (1., 2.) + CPoint (3., 4.), CPoint (4., 6.));
	EXPECT_EQ (CPoint (1., 2.) - CPoint (3., 5.), CPoint (-2., -3.));
}

TEST (Geometry, normalizeSwapsOnlyReversedPairs)
{
	CRect r (30., 5., 10., 25.);
	r.normalize ();
	EXPECT_EQ (r, CRect (10., 5., 30., 25.));
	CRect v (0., 40., 8., 12.);
	v.normalize ();
	EXPECT_EQ (v, CRect (0., 12., 8., 40.));
	CRect bothReversed (5., 6., 1., 2.);
	bothReversed.normalize ();
	EXPECT_EQ (bothReversed, CRect (1., 2., 5., 6.));
}

TEST (Geometry, pointInsideIncludesNearEdgesOnly)
{
	const CRect r (5., 3., 25., 13.);
	EXPECT_TRUE (r.pointInside (CPoint (5., 3.)));
	EXPECT_TRUE (r.pointInside (CPoint (24.999, 12.999)));
	EXPECT_FALSE (r.pointInside (CPoint (25., 5.)));
	EXPECT_FALSE (r.pointInside (CPoint (10., 13.)));
	EXPECT_FALSE (r.pointInside (CPoint (4.999, 5.)));
	EXPECT_FALSE (r.pointInside (CPoint (std::nan (""), 5.)));
	EXPECT_FALSE (r.pointInside (CPoint (10., std::nan (""))));
	EXPECT_FALSE (CRect ().pointInside (CPoint ()));
}

TEST (Geometry, boundAndUnite)
{
	CRect a (0., 0., 100., 50.);
	a.bound (CRect (50., 25., 200., 200.));
	EXPECT_EQ (a, CRect (50., 25., 100., 50.));

	CRect disjoint (0., 0., 10., 10.);
	disjoint.bound (CRect (20., 20., 30., 30.));
	EXPECT_TRUE (disjoint.isEmpty ());
	EXPECT_LE (disjoint.left, disjoint.right);
	EXPECT_LE (disjoint.top, disjoint.bottom);

	CRect u (0., 0., 10., 10.);
	u.unite (CRect (-5., 5., 3., 20.));
	EXPECT_EQ (u, CRect (-5., 0., 10., 20.));

	EXPECT_TRUE (CRect (0., 0., 10., 10.).rectOverlap (CRect (9., 9., 12., 12.)));
	EXPECT_FALSE (CRect (0., 0., 10., 10.).rectOverlap (CRect (10., 0., 12., 12.)));
}

