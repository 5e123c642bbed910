// Buses of a component and the per-kind bus lists.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class Bus : public FObject
{
public:
	Bus(const TChar* name, BusType busType, int32 flags);

	bool isActive() const { return active; }
	void setActive(TBool state) { active = state != 0; }

	// Name truncated to 127 code units.
	void setName(const TChar* newName);
	const TChar* getName() const { return name; }
	BusType getBusType() const { return busType; }
	int32 getFlags() const { return flags; }
	void setBusType(BusType t) { busType = t; }
	void setFlags(uint32 f) { flags = static_cast<int32>(f); }

	// Fills name, busType and flags; subclasses add the channel count.
	virtual bool getInfo(BusInfo& info);

	OBJ_METHODS(Bus, FObject)

protected:
	String128 name;
	BusType busType;
	int32 flags;
	bool active = false;
};

class AudioBus : public Bus
{
public:
	AudioBus(const TChar* name, BusType busType, int32 flags, SpeakerArrangement arr);

	SpeakerArrangement getArrangement() const { return speakerArr; }
	void setArrangement(const SpeakerArrangement& arr) { speakerArr = arr; }

	bool getInfo(BusInfo& info) SMTG_OVERRIDE;

	OBJ_METHODS(AudioBus, Bus)

protected:
	SpeakerArrangement speakerArr;
};

class EventBus : public Bus
{
public:
	EventBus(const TChar* name, BusType busType, int32 flags, int32 channelCount);

	bool getInfo(BusInfo& info) SMTG_OVERRIDE;

	OBJ_METHODS(EventBus, Bus)

protected:
	int32 channelCount;
};

// The buses of one media type and direction, in index order; owns its buses.
class BusList : public std::vector<IPtr<Bus>>
{
public:
	BusList(MediaType type, BusDirection dir) : type(type), direction(dir) {}

	MediaType getType() const { return type; }
	BusDirection getDirection() const { return direction; }
	int32 count() const { return static_cast<int32>(size()); }
	// Null for an index out of range.
	Bus* at(int32 index) const
	{
		return (index >= 0 && index < count()) ? (*this)[static_cast<size_t>(index)].get() : nullptr;
	}

protected:
	MediaType type;
	BusDirection direction;
};

} // namespace Vst
} // namespace Steinberg
