#pragma once

#include "vstguibase.h"

namespace VSTGUI {

struct CColor
{
	constexpr CColor () = default;
	constexpr CColor (uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
	: red (red), green (green), blue (blue), alpha (alpha)
	{
	}

	constexpr bool operator== (const CColor& o) const
	{
		return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
	}
	constexpr bool operator!= (const CColor& o) const { return !(*this == o); }

	float normRed () const { return red / 255.f; }
	float normGreen () const { return green / 255.f; }
	float normBlue () const { return blue / 255.f; }
	float normAlpha () const { return alpha / 255.f; }

	uint8 red {0};
	uint8 green {0};
	uint8 blue {0};
	uint8 alpha {255};
};

inline constexpr CColor kTransparentCColor {255, 255, 255, 0};
inline constexpr CColor kBlackCColor {0, 0, 0, 255};
inline constexpr CColor kWhiteCColor {255, 255, 255, 255};
inline constexpr CColor kGreyCColor {127, 127, 127, 255};
inline constexpr CColor kRedCColor {255, 0, 0, 255};
inline constexpr CColor kGreenCColor {0, 255, 0, 255};
inline constexpr CColor kBlueCColor {0, 0, 255, 255};
inline constexpr CColor kYellowCColor {255, 255, 0, 255};

} // namespace VSTGUI
