#include "offscreenframe.h"
#include "../../cbitmap.h"
#include "../../cdrawcontext.h"

namespace VSTGUI {

OffscreenPlatformFrame::OffscreenPlatformFrame (IPlatformFrameCallback* callback,
                                                const CRect& size, IRunLoop* runLoop)
: callback (callback), size (0., 0., size.getWidth (), size.getHeight ()), runLoop (runLoop)
{
}

bool OffscreenPlatformFrame::getSize (CRect& r) const
{
	r = size;
	return true;
}

bool OffscreenPlatformFrame::setSize (const CRect& r)
{
	size = CRect (0., 0., r.getWidth (), r.getHeight ());
	return true;
}

bool OffscreenPlatformFrame::invalidRect (const CRect& rect)
{
	CRect r (rect);
	r.normalize ().bound (size);
	if (r.isEmpty ())
		return true;
	if (dirty.isEmpty ())
		dirty = r;
	else
		dirty.unite (r);
	return true;
}

SharedPointer<CBitmap> OffscreenPlatformFrame::render (double scaleFactor)
{
	if (!callback)
		return nullptr;
	auto context = COffscreenContext::create (size.getSize (), scaleFactor);
	if (!context)
		return nullptr;
	dirty = CRect ();
	context->setClipRect (size);
	callback->platformDrawRect (context, size);
	return shared (context->getBitmap ());
}

} // namespace VSTGUI
