// setState and getState on one thread while process runs on another, as hosts do; run under
// ThreadSanitizer in CI.
#include "testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tolvartest;

TEST (StateHandOver, RestoresMeetProcessWithoutRaces)
{
	PlugProcessor p;
	startProcessor (p, 44100.0, kSample32, 256);
	std::atomic<bool> stop {false};
	std::thread audio ([&] {
		Block<float> b (2, 256);
		fillNoise (b, 1);
		while (!stop.load ())
		{
			ProcessData d = b.data ();
			p.process (d);
		}
	});

	std::mt19937 gen (3);
	std::uniform_real_distribution<double> dist (0.0, 1.0);
	for (int i = 0; i < 2000; ++i)
	{
		double v[8];
		for (double& x : v)
			x = dist (gen);
		ByteStream in = stateWith (v);
		ASSERT_EQ (p.setState (&in), kResultOk);
		// Read back at once, whether or not the audio thread has taken it yet.
		ByteStream out;
		ASSERT_EQ (p.getState (&out), kResultOk);
		ASSERT_EQ (out.bytes, in.bytes) << i;
	}
	stop = true;
	audio.join ();

	// A restore reaches the engine at the next block, and a new pre-delay starts the crossfade.
	double v[8];
	std::copy (std::begin (kDefaults), std::end (kDefaults), v);
	v[1] = 0.125;
	v[2] = 0.75;
	ByteStream in = stateWith (v);
	ASSERT_EQ (p.setState (&in), kResultOk);
	Block<float> b (2, 64);
	ProcessData d = b.data ();
	p.process (d);
	EXPECT_EQ (p.engine ().targets ().mixAmount, 0.125);
	EXPECT_TRUE (p.engine ().changePending ());
	EXPECT_LT (p.engine ().networkGain (), 1.0);
}
