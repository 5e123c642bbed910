#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {

// Linear range; values next to zero print without a minus sign.
class KWRangeParameter : public RangeParameter
{
public:
	KWRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
	                  ParamValue minPlain, ParamValue maxPlain, ParamValue defaultValuePlain);
	~KWRangeParameter () override;

	void toString (ParamValue valueNormalized, String128 string) const override;
};

// Exponential range: plain = min * (max / min)^v. Needs 0 < min != max.
class KWExpRangeParameter : public RangeParameter
{
public:
	KWExpRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
	                     ParamValue minPlain, ParamValue maxPlain, ParamValue defaultValuePlain);
	~KWExpRangeParameter () override;

	void toString (ParamValue valueNormalized, String128 string) const override;
	ParamValue toPlain (ParamValue valueNormalized) const override;
	ParamValue toNormalized (ParamValue plainValue) const override;
};

} // namespace Vst
} // namespace Steinberg
