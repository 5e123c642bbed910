#pragma once

#include "vstguifwd.h"
#include "ccolor.h"
#include "cfont.h"
#include "crect.h"
#include <vector>

struct _cairo;

namespace VSTGUI {

enum CDrawModeFlags : int32
{
	kAliasing = 0,
	kAntiAliasing = 1,
	kNonIntegralMode = 0xF000000,
};

class CDrawMode
{
public:
	constexpr CDrawMode (int32 mode = kAliasing) : mode (mode) {}
	int32 operator() () const { return mode; }
	int32 modeIgnoringIntegralMode () const { return mode & ~kNonIntegralMode; }
	bool integralMode () const { return (mode & kNonIntegralMode) == 0; }
	bool operator== (const CDrawMode& o) const { return mode == o.mode; }
	bool operator!= (const CDrawMode& o) const { return mode != o.mode; }

private:
	int32 mode;
};

enum CDrawStyle
{
	kDrawStroked = 0,
	kDrawFilled,
	kDrawFilledAndStroked,
};

class CLineStyle
{
public:
	enum LineCap
	{
		kLineCapButt = 0,
		kLineCapRound,
		kLineCapSquare,
	};
	enum LineJoin
	{
		kLineJoinMiter = 0,
		kLineJoinRound,
		kLineJoinBevel,
	};
	using CoordVector = std::vector<CCoord>;

	// Dash lengths are in units of the line width.
	CLineStyle (LineCap cap = kLineCapButt, LineJoin join = kLineJoinMiter, CCoord dashPhase = 0.,
	            CoordVector dashLengths = {})
	: cap (cap), join (join), dashPhase (dashPhase), dashLengths (std::move (dashLengths))
	{
	}

	LineCap getLineCap () const { return cap; }
	LineJoin getLineJoin () const { return join; }
	CCoord getDashPhase () const { return dashPhase; }
	const CoordVector& getDashLengths () const { return dashLengths; }

	bool operator== (const CLineStyle& o) const
	{
		return cap == o.cap && join == o.join && dashPhase == o.dashPhase &&
		       dashLengths == o.dashLengths;
	}
	bool operator!= (const CLineStyle& o) const { return !(*this == o); }

private:
	LineCap cap;
	LineJoin join;
	CCoord dashPhase;
	CoordVector dashLengths;
};

extern const CLineStyle kLineSolid;
extern const CLineStyle kLineOnOffDash;

// Drawing surface. Every operation is virtual so that a derived context can
// record or redirect the calls. Coordinates are the surface's own.
class CDrawContext : public CBaseObject
{
public:
	enum PathDrawMode
	{
		kPathFilled,
		kPathFilledEvenOdd,
		kPathStroked,
	};

	// Draws through the cairo context cr (a reference is taken). scaleFactor is the
	// number of device pixels per unit.
	CDrawContext (_cairo* cr, const CRect& surfaceRect, double scaleFactor = 1.);
	~CDrawContext () noexcept override;
	CDrawContext (const CDrawContext&) = delete;
	CDrawContext& operator= (const CDrawContext&) = delete;

	// State
	virtual void setDrawMode (CDrawMode mode);
	CDrawMode getDrawMode () const { return state.drawMode; }
	virtual void setLineStyle (const CLineStyle& style);
	const CLineStyle& getLineStyle () const { return state.lineStyle; }
	virtual void setLineWidth (CCoord width);
	CCoord getLineWidth () const { return state.lineWidth; }
	virtual void setFrameColor (const CColor& color);
	CColor getFrameColor () const { return state.frameColor; }
	virtual void setFillColor (const CColor& color);
	CColor getFillColor () const { return state.fillColor; }
	virtual void setFontColor (const CColor& color);
	CColor getFontColor () const { return state.fontColor; }
	virtual void setFont (CFontRef font);
	CFontRef getFont () const { return state.font; }
	virtual void setGlobalAlpha (float alpha);
	float getGlobalAlpha () const { return state.globalAlpha; }
	virtual void setClipRect (const CRect& clip);
	CRect getClipRect () const { return state.clipRect; }
	void resetClipRect () { setClipRect (surfaceRect); }
	virtual void saveGlobalState ();
	virtual void restoreGlobalState ();
	// Moves the origin of later drawing (and of the clip rectangle) by delta; undone by
	// restoreGlobalState.
	void translate (const CPoint& delta);
	CPoint getOffset () const { return state.offset; }

	// Width of one device pixel.
	virtual CCoord getHairlineSize () const { return 1. / scaleFactor; }
	double getScaleFactor () const { return scaleFactor; }
	const CRect& getSurfaceRect () const { return surfaceRect; }

	// Figures
	virtual void drawLine (const CPoint& start, const CPoint& end);
	virtual void drawRect (const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
	virtual void drawEllipse (const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
	virtual void drawString (UTF8StringPtr string, const CRect& rect,
	                         const CHoriTxtAlign hAlign = kCenterText, bool antialias = true);
	virtual CCoord getStringWidth (UTF8StringPtr string);
	// Draws the part of the bitmap that starts at offset into dest.
	virtual void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint (0, 0),
	                         float alpha = 1.f);

	// A new, empty path owned by the caller (release it with forget()), or nullptr
	// when the context draws no paths.
	virtual CGraphicsPath* createGraphicsPath ();
	virtual void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode = kPathFilled);

protected:
	// A context without a drawing target: state is kept, figures are dropped.
	explicit CDrawContext (const CRect& surfaceRect, double scaleFactor = 1.);
	_cairo* getCairo () const { return cr; }

private:
	struct State
	{
		CDrawMode drawMode {kAliasing};
		CLineStyle lineStyle;
		CCoord lineWidth {1.};
		CColor frameColor {kBlackCColor};
		CColor fillColor {kWhiteCColor};
		CColor fontColor {kBlackCColor};
		SharedPointer<CFontDesc> font;
		float globalAlpha {1.f};
		CRect clipRect;
		CPoint offset;
	};

	void applySource (const CColor& color);
	void applyLine ();
	void applyAntialias ();
	void appendRect (const CRect& rect, bool stroke);
	void appendPath (const CGraphicsPath& path);

	_cairo* cr {nullptr};
	CRect surfaceRect;
	double scaleFactor {1.};
	State state;
	std::vector<State> stateStack;
};

// A draw context on its own image. Pixels are the bitmap's: read them with
// getBitmap()->getPixel or write them with getBitmap()->writePNG.
class COffscreenContext : public CDrawContext
{
public:
	// nullptr when the size is not a finite positive number of at most 16384 pixels
	// per side after scaling.
	static SharedPointer<COffscreenContext> create (const CPoint& size, double scaleFactor = 1.);
	~COffscreenContext () noexcept override;

	CBitmap* getBitmap () const { return bitmap; }
	CCoord getWidth () const { return getSurfaceRect ().getWidth (); }
	CCoord getHeight () const { return getSurfaceRect ().getHeight (); }

private:
	COffscreenContext (_cairo* cr, CBitmap* bitmap, const CRect& rect, double scaleFactor);
	CBitmap* bitmap;
};

} // namespace VSTGUI
