// Host context interfaces and wrapper markers.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "vsttypes.h"

namespace Steinberg {
namespace Vst {

class IHostApplication : public FUnknown
{
public:
	virtual tresult PLUGIN_API getName(String128 name) = 0;
	// Creates host objects (IMessage, IAttributeList); the result carries one reference.
	virtual tresult PLUGIN_API createInstance(TUID cid, TUID _iid, void** obj) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IHostApplication, 0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5)

// Marker interfaces a wrapping host exposes on the initialize context.
class IVst3ToVst2Wrapper : public FUnknown
{
public:
	static const FUID iid;
};
DECLARE_CLASS_IID(IVst3ToVst2Wrapper, 0x29633AEC, 0x1D1C47E2, 0xBB85B97B, 0xD36EAC61)

class IVst3ToAUWrapper : public FUnknown
{
public:
	static const FUID iid;
};
DECLARE_CLASS_IID(IVst3ToAUWrapper, 0xA3B8C6C5, 0xC0954688, 0xB0916F0B, 0xB697AA44)

class IVst3ToAAXWrapper : public FUnknown
{
public:
	static const FUID iid;
};
DECLARE_CLASS_IID(IVst3ToAAXWrapper, 0x6D319DC6, 0x60C56242, 0xB32C951B, 0x93BEF4C6)

} // namespace Vst
} // namespace Steinberg
