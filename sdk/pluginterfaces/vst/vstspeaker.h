// Speaker bits and speaker arrangements.
#pragma once

#include "vsttypes.h"

namespace Steinberg {
namespace Vst {

const Speaker kSpeakerL = 1ULL << 0;
const Speaker kSpeakerR = 1ULL << 1;
const Speaker kSpeakerC = 1ULL << 2;
const Speaker kSpeakerLfe = 1ULL << 3;
const Speaker kSpeakerLs = 1ULL << 4;
const Speaker kSpeakerRs = 1ULL << 5;
const Speaker kSpeakerLc = 1ULL << 6;
const Speaker kSpeakerRc = 1ULL << 7;
const Speaker kSpeakerS = 1ULL << 8;
const Speaker kSpeakerCs = kSpeakerS;
const Speaker kSpeakerSl = 1ULL << 9;
const Speaker kSpeakerSr = 1ULL << 10;
const Speaker kSpeakerTc = 1ULL << 11;
const Speaker kSpeakerTfl = 1ULL << 12;
const Speaker kSpeakerTfc = 1ULL << 13;
const Speaker kSpeakerTfr = 1ULL << 14;
const Speaker kSpeakerTrl = 1ULL << 15;
const Speaker kSpeakerTrc = 1ULL << 16;
const Speaker kSpeakerTrr = 1ULL << 17;
const Speaker kSpeakerLfe2 = 1ULL << 18;
const Speaker kSpeakerM = 1ULL << 19;

namespace SpeakerArr {

const SpeakerArrangement kEmpty = 0;
const SpeakerArrangement kMono = kSpeakerM;
const SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;
const SpeakerArrangement k30Cine = kSpeakerL | kSpeakerR | kSpeakerC;
const SpeakerArrangement k40Music = kSpeakerL | kSpeakerR | kSpeakerLs | kSpeakerRs;
const SpeakerArrangement k50 = kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLs | kSpeakerRs;
const SpeakerArrangement k51 = k50 | kSpeakerLfe;
const SpeakerArrangement k71Cine = k51 | kSpeakerLc | kSpeakerRc;
const SpeakerArrangement k71Music = k51 | kSpeakerSl | kSpeakerSr;

// Number of channels = number of speaker bits set.
inline int32 getChannelCount(SpeakerArrangement arr)
{
	int32 count = 0;
	while (arr)
	{
		arr &= arr - 1;
		++count;
	}
	return count;
}

// Position of a speaker within the arrangement's channel order, -1 if absent.
inline int32 getSpeakerIndex(Speaker speaker, SpeakerArrangement arr)
{
	if ((speaker & arr) == 0 || (speaker & (speaker - 1)) != 0)
		return -1;
	return getChannelCount(arr & (speaker - 1));
}

} // namespace SpeakerArr
} // namespace Vst
} // namespace Steinberg

static_assert(Steinberg::Vst::SpeakerArr::kMono == 0x80000, "mono is bit 19");
static_assert(Steinberg::Vst::SpeakerArr::k51 == 0x3F && Steinberg::Vst::SpeakerArr::k71Music == 0x63F,
              "surround layouts");
