// Linux module entry and exit, called by the host right after loading and before unloading.
// Compiled into the module itself (not into sdk_vst) so that the exports stay visible.
#include "pluginterfaces/base/fplatform.h"

namespace {
int moduleCounter = 0;
void* moduleHandle = nullptr;
} // namespace

extern "C" {

// Several loaders may enter the same module: only the first entry and the last exit count.
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle)
{
	if (++moduleCounter == 1)
		moduleHandle = sharedLibraryHandle;
	return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit(void)
{
	if (moduleCounter <= 0)
		return false;
	if (--moduleCounter == 0)
		moduleHandle = nullptr;
	return true;
}

} // extern "C"
