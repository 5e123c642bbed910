// Counts the calls a real-time thread must not make: allocation, deallocation,
// locks and sleeps, by any thread of the process, while armed.
#pragma once

namespace rttrap {

struct Counts
{
	int allocations = 0;
	int deallocations = 0;
	int locks = 0;
	int sleeps = 0;

	int total () const { return allocations + deallocations + locks + sleeps; }
	Counts& operator+= (const Counts& c);
};

// Starts counting from zero.
void arm ();
// Stops counting and returns what was counted since arm.
Counts disarm ();

} // namespace rttrap
