#include "vstguibase.h"

namespace VSTGUI {

namespace {
AssertionHandler assertionHandler = nullptr;
}

void setAssertionHandler (AssertionHandler handler) { assertionHandler = handler; }

AssertionHandler getAssertionHandler () { return assertionHandler; }

void doAssert (const char* file, int line, const char* condition, const char* message)
{
	if (assertionHandler)
		assertionHandler (file, line, condition, message);
}

void NonAtomicReferenceCounted::forget ()
{
	if (refCount <= 0)
	{
		vstgui_assert (refCount > 0, "forget() on an object without references");
		return;
	}
	if (--refCount == 0)
	{
		beforeDelete ();
		delete this;
	}
}

} // namespace VSTGUI
