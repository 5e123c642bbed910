// Drops cairo's and fontconfig's caches when a test program ends, so that the leak
// checker sees only our own memory. Include it in one file of a test program that draws text.
#pragma once

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace VSTGUI {
namespace Test {

inline void resetFontCaches ()
{
	cairo_debug_reset_static_data ();
	FcFini ();
}

struct FontCacheReset : ::testing::Environment
{
	void TearDown () override { resetFontCaches (); }
};

inline const auto* const fontCacheReset = ::testing::AddGlobalTestEnvironment (new FontCacheReset);

} // namespace Test
} // namespace VSTGUI
