// Editor view interfaces, the host frame and the Linux run-loop interfaces.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {

struct ViewRect
{
	ViewRect(int32 l = 0, int32 t = 0, int32 r = 0, int32 b = 0) : left(l), top(t), right(r), bottom(b) {}

	int32 left;
	int32 top;
	int32 right;
	int32 bottom;

	int32 getWidth() const { return right - left; }
	int32 getHeight() const { return bottom - top; }
};

static_assert(sizeof(ViewRect) == 16, "ViewRect");

const FIDString kPlatformTypeHWND = "HWND";
const FIDString kPlatformTypeHIView = "HIView";
const FIDString kPlatformTypeNSView = "NSView";
const FIDString kPlatformTypeUIView = "UIView";
// The parent carries the X11 window id in the pointer value itself.
const FIDString kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

class IPlugFrame;

class IPlugView : public FUnknown
{
public:
	virtual tresult PLUGIN_API isPlatformTypeSupported(FIDString type) = 0;
	virtual tresult PLUGIN_API attached(void* parent, FIDString type) = 0;
	virtual tresult PLUGIN_API removed() = 0;
	virtual tresult PLUGIN_API onWheel(float distance) = 0;
	virtual tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
	virtual tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
	virtual tresult PLUGIN_API getSize(ViewRect* size) = 0;
	virtual tresult PLUGIN_API onSize(ViewRect* newSize) = 0;
	virtual tresult PLUGIN_API onFocus(TBool state) = 0;
	virtual tresult PLUGIN_API setFrame(IPlugFrame* frame) = 0;
	virtual tresult PLUGIN_API canResize() = 0;
	virtual tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPlugView, 0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29)

class IPlugFrame : public FUnknown
{
public:
	virtual tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IPlugFrame, 0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3)

namespace Linux {

using TimerInterval = uint64;
using FileDescriptor = int;

class IEventHandler : public FUnknown
{
public:
	virtual void PLUGIN_API onFDIsSet(FileDescriptor fd) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IEventHandler, 0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983)

class ITimerHandler : public FUnknown
{
public:
	virtual void PLUGIN_API onTimer() = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(ITimerHandler, 0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9)

// Provided by the host; obtained by querying the IPlugFrame.
class IRunLoop : public FUnknown
{
public:
	virtual tresult PLUGIN_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
	virtual tresult PLUGIN_API unregisterEventHandler(IEventHandler* handler) = 0;
	virtual tresult PLUGIN_API registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
	virtual tresult PLUGIN_API unregisterTimer(ITimerHandler* handler) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IRunLoop, 0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389)

} // namespace Linux
} // namespace Steinberg
