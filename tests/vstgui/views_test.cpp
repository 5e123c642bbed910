#include "test_helpers.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/iviewlistener.h"
#include "vstgui/lib/platform/offscreen/offscreenframe.h"
#include "fontcachereset.h"
#include <gtest/gtest.h>

using namespace VSTGUI;
using Test::Log;
using Test::RecordingListener;

namespace {
struct LoggingViewListener : ViewListenerAdapter
{
	void viewSizeChanged (CView* view, const CRect& oldSize) override
	{
		oldSizes.push_back (oldSize);
		if (victim)
			view->unregisterViewListener (victim);
	}
	void viewWillDelete (CView* view) override
	{
		++deletes;
		if (unregisterOnDelete)
			view->unregisterViewListener (this);
	}
	std::vector<CRect> oldSizes;
	int deletes = 0;
	bool unregisterOnDelete = false;
	IViewListener* victim = nullptr; // unregistered when told of a size change
};
} // namespace

TEST (View, sizeChangeNotifiesAndInvalidatesOnlyOnChange)
{
	LoggingViewListener l, evictor, victim;
	evictor.victim = &victim;
	CView v (CRect (0., 0., 10., 10.));
	v.registerViewListener (&l);
	v.setViewSize (CRect (0., 0., 10., 10.));
	EXPECT_EQ (v.getInvalidCount (), 0u);
	EXPECT_TRUE (l.oldSizes.empty ());

	v.setViewSize (CRect (5., 5., 25., 15.), false);
	EXPECT_EQ (v.getInvalidCount (), 0u);
	ASSERT_EQ (l.oldSizes.size (), 1u);
	EXPECT_EQ (l.oldSizes[0], CRect (0., 0., 10., 10.));
	EXPECT_EQ (v.getMouseableArea (), CRect (5., 5., 25., 15.));

	// A listener taken out during a notification is not told.
	v.registerViewListener (&evictor);
	v.registerViewListener (&victim);
	v.setViewSize (CRect (5., 5., 30., 15.));
	EXPECT_GT (v.getInvalidCount (), 0u);
	EXPECT_TRUE (victim.oldSizes.empty ());
	v.unregisterViewListener (&evictor);
	v.unregisterViewListener (&l);
}

TEST (View, mouseableAreaSetApartStaysPut)
{
	CView v (CRect (0., 0., 10., 10.));
	v.setMouseableArea (CRect (2., 2., 8., 8.));
	v.setViewSize (CRect (0., 0., 20., 20.));
	EXPECT_EQ (v.getMouseableArea (), CRect (2., 2., 8., 8.));
	EXPECT_TRUE (v.hitTest (CPoint (2., 2.)));
	EXPECT_FALSE (v.hitTest (CPoint (8., 5.)));
}

TEST (View, willDeleteReachesListenersOnce)
{
	LoggingViewListener a, b;
	a.unregisterOnDelete = true;
	auto* v = new CView (CRect (0., 0., 1., 1.));
	v->registerViewListener (&a);
	v->registerViewListener (&b);
	v->registerViewListener (&b);
	v->forget ();
	EXPECT_EQ (a.deletes, 1);
	EXPECT_EQ (b.deletes, 1);

	LoggingViewListener c;
	{
		CView onStack (CRect {});
		onStack.registerViewListener (&c);
	}
	EXPECT_EQ (c.deletes, 1);
}

//------------------------------------------------------------------------
TEST (TextLabel, drawsBackColourAndTextAndRedrawsOnlyOnChange)
{
	auto ctx = COffscreenContext::create (CPoint (60., 20.));
	ASSERT_TRUE (ctx);
	CTextLabel label (CRect (0., 0., 60., 20.), "");
	label.setBackColor (kBlueCColor);
	label.draw (ctx);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (30, 10), kBlueCColor);
	EXPECT_FALSE (label.isDirty ());

	const auto before = label.getInvalidCount ();
	label.setText ("");
	EXPECT_EQ (label.getInvalidCount (), before);
	label.setText ("WWWWWWWW");
	EXPECT_GT (label.getInvalidCount (), before);
	label.setFontColor (kWhiteCColor);
	label.draw (ctx);
	int white = 0;
	for (int32 x = 0; x < 60; ++x)
		for (int32 y = 0; y < 20; ++y)
			if (ctx->getBitmap ()->getPixel (x, y) == kWhiteCColor)
				++white;
	EXPECT_GT (white, 10);
}

//------------------------------------------------------------------------
// A left click toggles as one edit, with Alt too (an on/off button has no reset).
TEST (OnOffButton, leftClickTogglesWithOneEdit)
{
	RecordingListener listener;
	COnOffButton button (CRect (0., 0., 20., 20.), &listener);
	button.setDefaultValue (0.f);
	CPoint where (5., 5.);
	EXPECT_EQ (button.onMouseDown (where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (button.getValue (), 1.f);
	EXPECT_EQ (listener.log, (Log {"begin", VSTGUI::Test::valueEntry (1.f), "end"}));
	button.onMouseDown (where, kLButton | kAlt);
	EXPECT_EQ (button.getValue (), 0.f);
	button.onMouseDown (where, kLButton | kAlt);
	EXPECT_EQ (button.getValue (), 1.f);
	EXPECT_EQ (button.onMouseDown (where, kRButton), kMouseEventNotHandled);
	EXPECT_EQ (button.getValue (), 1.f);
}

TEST (OnOffButton, drawsTheHalfOfItsBitmapForItsState)
{
	auto strip = COffscreenContext::create (CPoint (10., 20.));
	ASSERT_TRUE (strip);
	strip->setFillColor (kRedCColor);
	strip->drawRect (CRect (0., 0., 10., 10.), kDrawFilled);
	strip->setFillColor (kGreenCColor);
	strip->drawRect (CRect (0., 10., 10., 20.), kDrawFilled);

	COnOffButton button (CRect (5., 5., 15., 15.), nullptr, -1, strip->getBitmap ());
	auto ctx = COffscreenContext::create (CPoint (20., 20.));
	ASSERT_TRUE (ctx);
	button.draw (ctx);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (10, 10), kRedCColor);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (4, 4).alpha, 0);
	button.setValue (1.f);
	button.draw (ctx);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (10, 10), kGreenCColor);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (14, 14), kGreenCColor);
	EXPECT_EQ (ctx->getBitmap ()->getPixel (15, 15).alpha, 0);

	COnOffButton sized (CRect (1., 2., 3., 4.), nullptr, -1, strip->getBitmap ());
	EXPECT_TRUE (sized.sizeToFit ());
	EXPECT_EQ (sized.getViewSize (), CRect (1., 2., 11., 12.));
}

//------------------------------------------------------------------------
namespace {
// Fills its rectangle.
struct Patch : CView
{
	using CView::CView;
	void draw (CDrawContext* context) override
	{
		context->setFillColor (kRedCColor);
		context->drawRect (getViewSize (), kDrawFilled);
	}
};
} // namespace

// The offscreen frame's picture and dirty area; events reaching nested views are the
// editor tests' (they click and drag views inside containers).
TEST (Frame, OffscreenFrameDrawsNestedViewsAndKeepsTheirDirtyArea)
{
	ManualRunLoop loop;
	auto frame = VSTGUI::Test::openOffscreenFrame (loop, CRect (0., 0., 40., 40.));
	auto* box = new CViewContainer (CRect (10., 10., 30., 30.));
	auto* patch = new Patch (CRect (5., 5., 15., 15.));
	box->addView (patch);
	frame->addView (box);
	auto* offscreen = dynamic_cast<OffscreenPlatformFrame*> (frame->getPlatformFrame ());
	ASSERT_NE (offscreen, nullptr);
	EXPECT_EQ (frame->getRunLoop (), &loop);

	auto picture = offscreen->render ();
	ASSERT_TRUE (picture);
	EXPECT_EQ (picture->getPixel (15, 15), kRedCColor);
	EXPECT_EQ (picture->getPixel (24, 24), kRedCColor);
	EXPECT_NE (picture->getPixel (14, 14), kRedCColor);
	EXPECT_NE (picture->getPixel (25, 25), kRedCColor);

	EXPECT_TRUE (offscreen->getDirtyRect ().isEmpty ());
	patch->invalid ();
	EXPECT_EQ (offscreen->getDirtyRect (), CRect (15., 15., 25., 25.));
	CPoint outside (35., 35.);
	EXPECT_EQ (frame->platformOnMouseDown (outside, kLButton), kMouseEventNotHandled);

	frame->close ();
	EXPECT_EQ (frame->getNbViews (), 0u);
	EXPECT_EQ (frame->getRunLoop (), nullptr);
}
