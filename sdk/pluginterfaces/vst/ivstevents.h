// Event lists (notes and other events); declared for hosts and for sizing.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "vsttypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

struct NoteOnEvent
{
	int16 channel;
	int16 pitch;
	float tuning;
	float velocity;
	int32 length;
	int32 noteId;
};

struct NoteOffEvent
{
	int16 channel;
	int16 pitch;
	float velocity;
	int32 noteId;
	float tuning;
};

struct DataEvent
{
	uint32 size;
	uint32 type;
	const uint8* bytes;
};

struct PolyPressureEvent
{
	int16 channel;
	int16 pitch;
	float pressure;
	int32 noteId;
};

struct Event
{
	int32 busIndex;
	int32 sampleOffset;
	TQuarterNotes ppqPosition;
	uint16 flags;
	uint16 type;
	union
	{
		NoteOnEvent noteOn;
		NoteOffEvent noteOff;
		DataEvent data;
		PolyPressureEvent polyPressure;
		uint8 payload[24]; // room for the larger event kinds
	};

	enum EventFlags
	{
		kIsLive = 1 << 0,
		kUserReserved1 = 1 << 14,
		kUserReserved2 = 1 << 15
	};

	enum EventTypes
	{
		kNoteOnEvent = 0,
		kNoteOffEvent = 1,
		kDataEvent = 2,
		kPolyPressureEvent = 3,
		kNoteExpressionValueEvent = 4,
		kNoteExpressionTextEvent = 5,
		kChordEvent = 6,
		kScaleEvent = 7,
		kLegacyMIDICCOutEvent = 65535
	};
};

class IEventList : public FUnknown
{
public:
	virtual int32 PLUGIN_API getEventCount() = 0;
	virtual tresult PLUGIN_API getEvent(int32 index, Event& e) = 0;
	virtual tresult PLUGIN_API addEvent(Event& e) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID(IEventList, 0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44)

static_assert(sizeof(Event) == 48 && alignof(Event) == 8 && offsetof(Event, flags) == 16 &&
                  offsetof(Event, type) == 18 && offsetof(Event, noteOn) == 24,
              "Event");

} // namespace Vst
} // namespace Steinberg
