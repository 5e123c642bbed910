// The processor platform the about box names.
#pragma once

#include "base/source/fstring.h"

namespace Steinberg {
namespace Vst {

// What macOS answered to the query for "sysctl.proc_translated".
struct TranslationQuery
{
	bool succeeded;
	int error;   // errno when the query failed
	int32 value; // the answer when it succeeded
};

// macOS: the platform text for an answer of the translation query.
String platformTextForTranslation (const TranslationQuery& query);

// The platform of this process: on macOS from the translation query, on Linux the
// machine name followed by "-Linux" (for example "x86_64-Linux").
String queryPlatformText ();

} // namespace Vst
} // namespace Steinberg
