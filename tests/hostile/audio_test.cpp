// A non-finite input sample, then finite audio: the output is finite again from the block
// after the bad input, and from the first block after a reactivation however far the bad
// value has spread. Required code:
// kResultOk for every block, the one with the bad sample included, whose output is written.
#include "hostile.h"

#include <cmath>
#include <limits>

namespace hostile {
namespace {

TEST (HostileAudio, NonFiniteInputThenFiniteAudio)
{
	HOSTILE_TRACE_SEED ();
	const double bad[] = {std::numeric_limits<double>::quiet_NaN (), std::numeric_limits<double>::infinity (),
	                      -std::numeric_limits<double>::infinity ()};
	const int rounds = static_cast<int> (scaled (1, 200));
	for (bool reactivate : {false, true})
	{
		const char* name = reactivate ? "audio/reactivation" : "audio/next-block";
		Rng rng (baseSeed ());
		for (int round = 0; round < rounds && !HasFailure (); ++round)
		{
			for (double value : bad)
			{
				for (int32 size : kSizes)
				{
					SCOPED_TRACE (describe (name + (", input " + std::to_string (value)) + ", round " +
					                            std::to_string (round), size));
					Instance p;
					p.start (size, rng.range (0, 1) ? 8000.0 : 11025.0);
					// Past the activation fade, so the bad sample reaches the whole network.
					render (p.processor.get (), size, rng.bits (), 120);

					Block block (size);
					block.noise (rng);
					const auto at = static_cast<int32> (rng.range (0, Block::kFrames - 1));
					const auto channel = rng.range (0, 2); // left, right or both
					for (size_t c = 0; c < 2; ++c)
						if (channel == 2 || channel == static_cast<int64_t> (c))
							block.setInput (c, at, value);
					ASSERT_EQ (block.process (p.processor.get (), Block::kFrames), kResultOk);
					EXPECT_TRUE (block.good (Block::kFrames, false));
					// Let the bad value reach every state of the network, then reactivate.
					for (int k = 0; reactivate && k < 40; ++k)
					{
						block.noise (rng);
						ASSERT_EQ (block.process (p.processor.get (), Block::kFrames), kResultOk);
						ASSERT_TRUE (block.good (Block::kFrames));
					}
					if (reactivate)
					{
						ASSERT_EQ (p.component->setActive (false), kResultOk);
						ASSERT_EQ (p.component->setActive (true), kResultOk);
					}
					render (p.processor.get (), size, rng.bits (), 60);
				}
			}
		}
	}
}

} // namespace
} // namespace hostile
