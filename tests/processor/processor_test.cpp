#include "testsupport.h"

#include "plugids.h"

#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tolvartest;


TEST (ProcessorLifecycle, BufferLengthsAndReactivation)
{
	const struct
	{
		double rate;
		int32 length;
	} table[] = {{22050, 5517}, {44100, 11036}, {48000, 12012}, {88200, 22072}, {96000, 24024}, {192000, 48048}};

	PlugProcessor p;
	p.initialize (nullptr);
	EXPECT_EQ (p.sampleRate, 44100.0) << "the rate before any setup";
	for (const auto& row : table)
	{
		ProcessSetup setup {kRealtime, kSample32, 512, row.rate};
		ASSERT_EQ (p.setupProcessing (setup), kResultOk);
		ASSERT_EQ (p.setActive (true), kResultOk);
		EXPECT_EQ (p.bufferLength, row.length) << row.rate;
		EXPECT_EQ (p.writeIndex, 0);
		EXPECT_TRUE (p.buffersPresent ());
		for (int32 i = 0; i < p.bufferLength; i += 97)
			ASSERT_EQ (p.networkLines[15][i], 0.0);
		if (row.rate != 192000)
		{
			ASSERT_EQ (p.setActive (false), kResultOk);
		}
	}

	// Dirty the state, then activate again without deactivating: cleared lines, new crossfade.
	Block<float> b (2, 300);
	fillNoise (b, 1);
	ProcessData d = b.data ();
	p.process (d);
	ASSERT_NE (p.writeIndex, 0);
	p.highpassMidPrevIn = 0.25; // the mid/side high-pass states survive activation
	EXPECT_EQ (p.setActive (true), kResultFalse); // the base reports the repeat; the engine restarts all the same
	EXPECT_EQ (p.highpassMidPrevIn, 0.25);
	EXPECT_EQ (p.lowpassPrevOut, 0.0);
	EXPECT_EQ (p.writeIndex, 0);
	EXPECT_EQ (p.fadeGain, 1.0);
	EXPECT_TRUE (p.changePending);
	for (int32 k = 0; k < PlugProcessor::kNumLines; ++k)
		EXPECT_EQ (p.dampState[k], 0.0);
	for (int32 i = 0; i < p.bufferLength; ++i)
		ASSERT_EQ (p.predelayLine[i], 0.0);

	EXPECT_EQ (p.setActive (false), kResultOk);
	EXPECT_FALSE (p.buffersPresent ());
	EXPECT_EQ (p.setActive (false), kResultFalse);
	EXPECT_FALSE (p.buffersPresent ());

	PlugProcessor never;
	never.initialize (nullptr);
	EXPECT_EQ (never.setActive (false), kResultFalse);
	EXPECT_FALSE (never.buffersPresent ());
}

TEST (ProcessorParameters, LastPointBypassThresholdAndUnknownIds)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	Block<float> b (2, 0);

	auto send = [&] (std::vector<ParamQueue*> queues) {
		ParamChanges changes;
		changes.queues = std::move (queues);
		ProcessData d = b.data (&changes);
		EXPECT_EQ (p.process (d), kResultOk);
	};

	ParamQueue half (kBypassId, {{0, 0.9}, {10, 0.5}});
	send ({&half});
	EXPECT_FALSE (p.record.bypass);
	ParamQueue above (kBypassId, {{0, 0.1}, {10, 0.500001}});
	send ({&above});
	EXPECT_TRUE (p.record.bypass);

	// Values are stored unclamped, only the last point counts.
	ParamQueue level (kLevelId, {{0, 0.2}, {3, 1.7}});
	ParamQueue lpcut (kLPCutId, {{5, -0.25}});
	send ({&level, &lpcut});
	EXPECT_EQ (p.record.values[0], 1.7);
	EXPECT_EQ (p.record.values[7], -0.25);

	// Identifiers above 8 and empty queues change nothing but re-map; a missing queue does not.
	for (ParamID id : {ParamID (9), ParamID (100), ParamID (0xFFFFFFFF), ParamID (kMixId)})
	{
		p.record.values[1] = 0.125;
		p.mixAmount = -1.0;
		ParamQueue q (id, {});
		if (id != kMixId)
			q.points.push_back ({0, 0.9});
		send ({&q});
		EXPECT_EQ (p.record.values[1], 0.125) << id;
		EXPECT_EQ (p.mixAmount, 0.125) << id;
	}
	p.mixAmount = -1.0;
	send ({nullptr});
	EXPECT_EQ (p.mixAmount, -1.0);

	// A negative count is no change at all.
	ParamChanges negative;
	negative.reportedCount = -3;
	ProcessData d = b.data (&negative);
	EXPECT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (p.mixAmount, -1.0);
}

template <typename Sample>
void checkBypass (int32 sampleSize)
{
	PlugProcessor p;
	startProcessor (p, 48000.0, sampleSize);
	ParamQueue on (kBypassId, {{0, 1.0}});
	ParamChanges changes;
	changes.queues = {&on};

	Block<Sample> b (2, 333);
	fillNoise (b, 7);
	for (auto& ch : b.out)
		for (auto& s : ch)
			s = static_cast<Sample> (3);
	ProcessData d = b.data (&changes);
	ASSERT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (b.out, b.in);
	EXPECT_EQ (p.writeIndex, 0) << "engine must not run while bypassed";

	Block<Sample> inPlace (2, 64, true);
	fillNoise (inPlace, 8);
	auto before = inPlace.in;
	d = inPlace.data ();
	ASSERT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (inPlace.in, before);
}

TEST (ProcessorBypass, CopiesBitForBitAtBothSizes)
{
	checkBypass<float> (kSample32);
	checkBypass<double> (kSample64);
}

template <typename Sample>
std::vector<std::vector<Sample>> render (bool inPlace, int32 sampleSize, int32 channels = 2)
{
	PlugProcessor p;
	startProcessor (p, 44100.0, sampleSize);
	std::vector<std::vector<Sample>> result (2);
	for (int blockIndex = 0; blockIndex < 40; ++blockIndex)
	{
		Block<Sample> b (channels, 512, inPlace);
		fillNoise (b, 100 + static_cast<unsigned> (blockIndex));
		ProcessData d = b.data ();
		p.process (d);
		for (int c = 0; c < 2; ++c)
			result[static_cast<size_t> (c)].insert (result[static_cast<size_t> (c)].end (), b.output (c),
			                                        b.output (c) + b.frames);
	}
	return result;
}

TEST (ProcessorAudio, InPlaceAndWidthsAgree)
{
	auto separate32 = render<float> (false, kSample32);
	auto inPlace32 = render<float> (true, kSample32);
	EXPECT_EQ (separate32, inPlace32);

	auto separate64 = render<double> (false, kSample64);
	auto inPlace64 = render<double> (true, kSample64);
	EXPECT_EQ (separate64, inPlace64);

	// The 32-bit loop computes in double and only rounds on output.
	bool anyNonZero = false;
	for (int c = 0; c < 2; ++c)
	{
		for (size_t i = 0; i < separate32[static_cast<size_t> (c)].size (); ++i)
		{
			const float narrowed = static_cast<float> (separate64[static_cast<size_t> (c)][i]);
			ASSERT_EQ (separate32[static_cast<size_t> (c)][i], narrowed) << c << ":" << i;
			anyNonZero = anyNonZero || narrowed != 0.0f;
		}
	}
	EXPECT_TRUE (anyNonZero);
}

TEST (ProcessorAudio, ExtraChannelsUntouched)
{
	PlugProcessor p;
	startProcessor (p, 44100.0);
	Block<float> b (4, 256);
	fillNoise (b, 3);
	for (auto& ch : b.out)
		for (auto& s : ch)
			s = 9.0f;
	auto inputBefore = b.in;
	ProcessData d = b.data ();
	ASSERT_EQ (p.process (d), kResultOk);
	EXPECT_EQ (b.in, inputBefore);
	for (int c = 2; c < 4; ++c)
		for (float s : b.out[static_cast<size_t> (c)])
			ASSERT_EQ (s, 9.0f);
	EXPECT_NE (b.out[0][0], 9.0f);
}

TEST (ProcessorAudio, WriteIndexWraps)
{
	PlugProcessor p;
	startProcessor (p, 8000.0);
	const int32 length = p.bufferLength;
	ASSERT_EQ (length, 2002);
	Block<float> b (2, length - 1);
	ProcessData d = b.data ();
	p.process (d);
	EXPECT_EQ (p.writeIndex, length - 1);
	b.frames = 1;
	d = b.data ();
	p.process (d);
	EXPECT_EQ (p.writeIndex, 0);

	// Read rule: element writeIndex - d, plus the length when negative. The pre-delay is
	// written before it is read, so u lands in the first all-pass input history.
	p.lowpassPole = 0.0;
	p.lowpassNumerator = 0.0;
	p.predelaySamples = 5;
	p.writeIndex = 3;
	p.predelayLine[length - 2] = 0.5;
	double l, r;
	p.processTank (0.0, 0.0, l, r);
	EXPECT_EQ (p.allpassInLine1[3], 0.5);

	p.writeIndex = 5;
	p.predelayLine[0] = 0.25;
	p.processTank (0.0, 0.0, l, r);
	EXPECT_EQ (p.allpassInLine1[5], 0.25);

	p.predelaySamples = 0;
	p.lowpassNumerator = 1.0;
	p.lowpassPrevIn = 0.0;
	p.networkGain = 1.0;
	p.writeIndex = 6;
	p.processTank (0.375, 0.0, l, r);
	EXPECT_EQ (p.allpassInLine1[6], 0.375);
}
