#include "public.sdk/source/vst/vstparameters.h"

#include "pluginterfaces/base/ustring.h"

#include <cmath>
#include <memory>
#include <utility>

namespace Steinberg {
namespace Vst {

namespace {

constexpr int32 kString128Size = 128;

void copyText (String128 dst, const TChar* src)
{
	UString (dst, kString128Size).assign (src);
}

// Host text is read no further than one String128.
bool scanText (const TChar* string, double& value)
{
	if (!string)
		return false;
	return UString (const_cast<TChar*> (string), kString128Size).scanFloat (value);
}

// A non-finite value lands on the end of 0..1 it lies beyond; NaN on the bottom.
ParamValue finiteOrEnd (ParamValue v)
{
	return std::isfinite (v) ? v : (v > 0. ? 1. : 0.);
}

// Whole-text comparison that stops at the first difference.
bool sameText (const TChar* a, const TChar* b)
{
	for (; *a == *b; ++a, ++b)
		if (*a == 0)
			return true;
	return false;
}

} // namespace

//------------------------------------------------------------------------
Parameter::Parameter () = default;

Parameter::Parameter (const ParameterInfo& paramInfo)
: info (paramInfo), valueNormalized (paramInfo.defaultNormalizedValue)
{
}

Parameter::Parameter (const TChar* title, ParamID tag, const TChar* units,
                      ParamValue defaultValueNormalized, int32 stepCount, int32 flags,
                      UnitID unitID, const TChar* shortTitle)
{
	copyText (info.title, title);
	copyText (info.units, units);
	copyText (info.shortTitle, shortTitle);
	info.id = tag;
	info.stepCount = stepCount;
	info.defaultNormalizedValue = defaultValueNormalized;
	info.flags = flags;
	info.unitId = unitID;
	valueNormalized = defaultValueNormalized;
}

Parameter::~Parameter () = default;

bool Parameter::setNormalized (ParamValue v)
{
	if (std::isnan (v))
		return false;
	if (v > 1.)
		v = 1.;
	else if (v < 0.)
		v = 0.;
	if (valueNormalized.exchange (v) == v)
		return false;
	changed ();
	return true;
}

void Parameter::toString (ParamValue v, String128 string) const
{
	if (!string)
		return;
	UString text (string, kString128Size);
	if (info.stepCount == 1)
		text.fromAscii (v > 0.5 ? "On" : "Off");
	else if (!text.printFloat (finiteOrEnd (v), precision))
		string[0] = 0;
}

bool Parameter::fromString (const TChar* string, ParamValue& v) const
{
	// A switch reads back the texts it shows.
	if (string && info.stepCount == 1)
	{
		if (sameText (string, u"On") || sameText (string, u"Off"))
		{
			v = string[1] == u'n' ? 1. : 0.;
			return true;
		}
	}
	double value = 0.;
	if (!scanText (string, value))
		return false;
	v = Bound (0., 1., value);
	return true;
}

ParamValue Parameter::toPlain (ParamValue v) const
{
	return v;
}

ParamValue Parameter::toNormalized (ParamValue plainValue) const
{
	return finiteOrEnd (plainValue);
}

//------------------------------------------------------------------------
RangeParameter::RangeParameter () = default;

RangeParameter::RangeParameter (const ParameterInfo& paramInfo, ParamValue min, ParamValue max)
: Parameter (paramInfo), minPlain (min), maxPlain (max)
{
}

RangeParameter::RangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                ParamValue min, ParamValue max, ParamValue defaultValuePlain,
                                int32 stepCount, int32 flags, UnitID unitID,
                                const TChar* shortTitle)
: Parameter (title, tag, units, 0., stepCount, flags, unitID, shortTitle)
, minPlain (min)
, maxPlain (max)
{
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

RangeParameter::~RangeParameter () = default;

void RangeParameter::toString (ParamValue v, String128 string) const
{
	if (!string)
		return;
	if (!UString (string, kString128Size).printFloat (toPlain (finiteOrEnd (v)), precision))
		string[0] = 0;
}

bool RangeParameter::fromString (const TChar* string, ParamValue& v) const
{
	double plain = 0.;
	if (!scanText (string, plain))
		return false;
	double lo = getMin ();
	double hi = getMax ();
	if (lo > hi)
		std::swap (lo, hi);
	double normalized = toNormalized (Bound (lo, hi, plain));
	if (!std::isfinite (normalized))
		return false;
	v = normalized;
	return true;
}

ParamValue RangeParameter::toPlain (ParamValue v) const
{
	return (getMax () - getMin ()) * v + getMin ();
}

ParamValue RangeParameter::toNormalized (ParamValue plainValue) const
{
	const ParamValue v = (plainValue - getMin ()) / (getMax () - getMin ());
	return std::isfinite (plainValue) ? v : finiteOrEnd (v);
}

//------------------------------------------------------------------------
ParameterContainer::ParameterContainer () = default;

ParameterContainer::~ParameterContainer ()
{
	removeAll ();
}

void ParameterContainer::init (int32 initialSize, int32 /*resizeDelta*/)
{
	if (initialSize > 0)
		params.reserve (static_cast<size_t> (initialSize));
}

Parameter* ParameterContainer::addParameter (Parameter* p)
{
	if (!p)
		return nullptr;
	// p is ours from here on, also when the list cannot grow.
	struct Releaser
	{
		void operator() (Parameter* q) const { q->release (); }
	};
	std::unique_ptr<Parameter, Releaser> owner (p);
	if (getParameter (p->getInfo ().id))
		return nullptr;
	params.push_back (p);
	return owner.release ();
}

Parameter* ParameterContainer::addParameter (const ParameterInfo& info)
{
	return addParameter (new Parameter (info));
}

Parameter* ParameterContainer::addParameter (const TChar* title, const TChar* units,
                                             int32 stepCount, ParamValue defaultValueNormalized,
                                             int32 flags, int32 tag, UnitID unitID,
                                             const TChar* shortTitle)
{
	if (tag == -1)
		tag = getParameterCount ();
	return addParameter (new Parameter (title, static_cast<ParamID> (tag), units,
	                                    defaultValueNormalized, stepCount, flags, unitID,
	                                    shortTitle));
}

Parameter* ParameterContainer::getParameterByIndex (int32 index) const
{
	if (index < 0 || index >= getParameterCount ())
		return nullptr;
	return params[static_cast<size_t> (index)];
}

Parameter* ParameterContainer::getParameter (ParamID tag) const
{
	for (auto* p : params)
		if (p->getInfo ().id == tag)
			return p;
	return nullptr;
}

void ParameterContainer::removeAll ()
{
	for (auto* p : params)
		p->release ();
	params.clear ();
}

} // namespace Vst
} // namespace Steinberg
