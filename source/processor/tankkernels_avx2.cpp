// The signal path for processors with AVX2: four doubles per lane group. Built with -mavx2
// only; the engine calls it after asking the processor whether it has AVX2.
#include "tankkernels.h"

namespace tolvar {

const TankKernels& avx2Kernels ()
{
	static const TankKernels kernels {processTank<Lanes4, float>, processTank<Lanes4, double>};
	return kernels;
}

} // namespace tolvar
