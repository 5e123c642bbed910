#include "kwparameters.h"

#include "pluginterfaces/base/ustring.h"

#include <algorithm>
#include <cmath>

namespace Steinberg {
namespace Vst {

namespace {

constexpr int32 kTextSize = 128;

// Below this a plain value prints as zero.
constexpr double kZeroThreshold = 5e-5;

// A normalised value with no finite plain value shows as the end of 0..1 it lies beyond;
// NaN as the bottom.
double finiteOrEnd (double v)
{
	return std::isfinite (v) ? v : (v > 0. ? 1. : 0.);
}

void printPlain (double plain, int32 precision, String128 string)
{
	if (!string)
		return;
	if (!UString (string, kTextSize).printFloat (plain, precision))
		string[0] = 0;
}

} // namespace

//------------------------------------------------------------------------
KWRangeParameter::KWRangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                    int32 flags, ParamValue minPlain_, ParamValue maxPlain_,
                                    ParamValue defaultValuePlain)
: RangeParameter (title, tag, units, minPlain_, maxPlain_, defaultValuePlain, 0, flags)
{
}

KWRangeParameter::~KWRangeParameter () = default;

void KWRangeParameter::toString (ParamValue v, String128 string) const
{
	double plain = toPlain (finiteOrEnd (v));
	if (std::fabs (plain) < kZeroThreshold)
		plain = 0.0;
	printPlain (plain, precision, string);
}

//------------------------------------------------------------------------
KWExpRangeParameter::KWExpRangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                          int32 flags, ParamValue minPlain_,
                                          ParamValue maxPlain_, ParamValue defaultValuePlain)
: RangeParameter (title, tag, units, minPlain_, maxPlain_, defaultValuePlain, 0, flags)
{
	// The base mapped the default linearly.
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

KWExpRangeParameter::~KWExpRangeParameter () = default;

void KWExpRangeParameter::toString (ParamValue v, String128 string) const
{
	printPlain (toPlain (finiteOrEnd (v)), precision, string);
}

ParamValue KWExpRangeParameter::toPlain (ParamValue v) const
{
	return getMin () * std::exp (v * std::log (getMax () / getMin ()));
}

ParamValue KWExpRangeParameter::toNormalized (ParamValue plain) const
{
	// A plain value with no finite logarithm (zero or below, NaN, infinity) lands on the end of the
	// range it lies beyond.
	return finiteOrEnd (std::log (std::max (plain, 0.) / getMin ()) / std::log (getMax () / getMin ()));
}

} // namespace Vst
} // namespace Steinberg
