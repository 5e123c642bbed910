#pragma once

// A platform frame without a window: it collects dirty areas and draws on request.

#include "../iplatformframe.h"

namespace VSTGUI {

class OffscreenPlatformFrame : public IPlatformFrame
{
public:
	OffscreenPlatformFrame (IPlatformFrameCallback* callback, const CRect& size, IRunLoop* runLoop);

	bool getSize (CRect& size) const override;
	bool setSize (const CRect& size) override;
	bool invalidRect (const CRect& rect) override;
	IRunLoop* getRunLoop () const override { return runLoop; }
	PlatformType getPlatformType () const override { return PlatformType::kOffscreen; }
	void* getPlatformRepresentation () const override { return nullptr; }
	void onFrameClosed () override { callback = nullptr; }

	// Draws the whole frame into a new image (null when closed or of no size) and
	// clears the dirty area.
	SharedPointer<CBitmap> render (double scaleFactor = 1.);
	// Union of the areas marked dirty since the last render; empty when none.
	const CRect& getDirtyRect () const { return dirty; }

private:
	IPlatformFrameCallback* callback;
	CRect size;
	CRect dirty;
	SharedPointer<IRunLoop> runLoop;
};

} // namespace VSTGUI
