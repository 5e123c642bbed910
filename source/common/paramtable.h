#pragma once

#include "plugids.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

enum class ParamMapping
{
	toggle,      // off/on, normalised = plain
	linear,      // plain = min + (max - min) * v
	exponential, // plain = min * (max / min)^v
};

// One parameter as the controller publishes it.
struct ParamSpec
{
	ParamID id;
	const TChar* title;
	const TChar* units;
	double minPlain;
	double maxPlain;
	double defaultPlain;
	int32 precision;
	ParamMapping mapping;
};

// All nine parameters in registration order; row n describes parameter id n.
inline constexpr ParamSpec kParamTable[kNumParams] = {
    {kBypassId, u"Bypass", nullptr, 0., 1., 0., 0, ParamMapping::toggle},
    {kLevelId, u"Level", u"dB", -36., 12., 0., 2, ParamMapping::linear},
    {kMixId, u"Mix", u"%", 0., 100., 50., 0, ParamMapping::linear},
    {kPredelayId, u"Predelay", u"ms", 1., 250., 20., 1, ParamMapping::exponential},
    {kRvbTimeId, u"Rvb Time", u"s", 0.6, 8., 1.6, 2, ParamMapping::exponential},
    {kSizeId, u"Size", u"m3", 1000., 20000., 10000., 0, ParamMapping::exponential},
    {kDiffusionId, u"Diffusion", u"%", 0., 100., 100., 0, ParamMapping::linear},
    {kHFDampId, u"HFDamp", u"%", 0., 100., 75., 0, ParamMapping::linear},
    {kLPCutId, u"LPCut", u"Hz", 500., 16000., 2500., 0, ParamMapping::exponential},
};

// Normalised value of a plain value under the parameter's mapping.
double plainToNormalized (const ParamSpec& spec, double plain);

// The default as a fresh state record stores it: the normalised default to six decimals
// (saved projects hold exactly these doubles).
double recordDefault (const ParamSpec& spec);

} // namespace Vst
} // namespace Steinberg
