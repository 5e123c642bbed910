#include "platformquery.h"

#include <cerrno>

#if defined(__APPLE__)
#include <sys/sysctl.h>
#else
#include <sys/utsname.h>
#endif

namespace Steinberg {
namespace Vst {

String platformTextForTranslation (const TranslationQuery& query)
{
	if (!query.succeeded)
		return query.error == ENOENT ? "x86_64-macOS" : "unknown";
	switch (query.value)
	{
		case 2: return "x86_64-macOS";
		case 1: return "arm64-macOS (T)";
		case 0: return "arm64-macOS";
		default: return "unknown";
	}
}

String queryPlatformText ()
{
#if defined(__APPLE__)
	int32 value = 0;
	size_t size = sizeof (value);
	TranslationQuery query {true, 0, 0};
	if (sysctlbyname ("sysctl.proc_translated", &value, &size, nullptr, 0) != 0)
		query = {false, errno, 0};
	else
		query.value = value;
	return platformTextForTranslation (query);
#else
	utsname names {};
	if (uname (&names) != 0)
		return "unknown";
	String text (names.machine);
	return text.append ("-Linux");
#endif
}

} // namespace Vst
} // namespace Steinberg
