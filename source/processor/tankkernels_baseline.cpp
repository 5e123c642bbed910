// The signal path for any x86-64 processor: two doubles per lane group (SSE2).
#include "tankkernels.h"

namespace tolvar {

const TankKernels& baselineKernels ()
{
	static const TankKernels kernels {processTank<Lanes2, float>, processTank<Lanes2, double>};
	return kernels;
}

} // namespace tolvar
