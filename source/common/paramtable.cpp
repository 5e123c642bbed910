#include "paramtable.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

double plainToNormalized (const ParamSpec& spec, double plain)
{
	switch (spec.mapping)
	{
		case ParamMapping::linear: return (plain - spec.minPlain) / (spec.maxPlain - spec.minPlain);
		case ParamMapping::exponential:
			return std::log (plain / spec.minPlain) / std::log (spec.maxPlain / spec.minPlain);
		case ParamMapping::toggle: break;
	}
	return plain;
}

double recordDefault (const ParamSpec& spec)
{
	return std::round (plainToNormalized (spec, spec.defaultPlain) * 1e6) / 1e6;
}

} // namespace Vst
} // namespace Steinberg
