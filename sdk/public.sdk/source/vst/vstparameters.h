#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <atomic>
#include <vector>

namespace Steinberg {
namespace Vst {

// One parameter of an edit controller: its description and its current
// normalised value. A change of the value notifies the dependents. The value may be
// read and set from any thread; the description is set up before the parameter is
// shared.
class Parameter : public FObject
{
public:
	Parameter ();
	explicit Parameter (const ParameterInfo& info);
	Parameter (const TChar* title, ParamID tag, const TChar* units = nullptr,
	           ParamValue defaultValueNormalized = 0., int32 stepCount = 0,
	           int32 flags = ParameterInfo::kCanAutomate, UnitID unitID = kRootUnitId,
	           const TChar* shortTitle = nullptr);
	~Parameter () override;

	virtual const ParameterInfo& getInfo () const { return info; }
	virtual ParameterInfo& getInfo () { return info; }

	virtual void setUnitID (UnitID id) { info.unitId = id; }
	virtual UnitID getUnitID () { return info.unitId; }

	virtual ParamValue getNormalized () const { return valueNormalized; }
	// Clamps to 0..1; NaN is refused. True (and dependents told) only when
	// the stored value changed.
	virtual bool setNormalized (ParamValue v);

	// One step: "On" above 0.5, else "Off"; otherwise the normalised value. A non-finite
	// value shows as the end of 0..1 it lies beyond (NaN as 0), here and in the subclasses.
	virtual void toString (ParamValue valueNormalized, String128 string) const;
	// Reads a number, limited to 0..1.
	virtual bool fromString (const TChar* string, ParamValue& valueNormalized) const;

	virtual ParamValue toPlain (ParamValue valueNormalized) const;
	// Unclamped for finite values; a non-finite one maps to 0 or 1 (NaN to 0).
	virtual ParamValue toNormalized (ParamValue plainValue) const;

	virtual int32 getPrecision () const { return precision; }
	virtual void setPrecision (int32 val) { precision = val; }

	OBJ_METHODS (Parameter, FObject)

protected:
	ParameterInfo info {};
	std::atomic<ParamValue> valueNormalized {0.};
	int32 precision {4};
};

// Parameter with a plain range min..max, mapped linearly.
class RangeParameter : public Parameter
{
public:
	RangeParameter ();
	RangeParameter (const ParameterInfo& paramInfo, ParamValue min, ParamValue max);
	RangeParameter (const TChar* title, ParamID tag, const TChar* units = nullptr,
	                ParamValue minPlain = 0., ParamValue maxPlain = 1.,
	                ParamValue defaultValuePlain = 0., int32 stepCount = 0,
	                int32 flags = ParameterInfo::kCanAutomate, UnitID unitID = kRootUnitId,
	                const TChar* shortTitle = nullptr);
	~RangeParameter () override;

	virtual ParamValue getMin () const { return minPlain; }
	virtual void setMin (ParamValue value) { minPlain = value; }
	virtual ParamValue getMax () const { return maxPlain; }
	virtual void setMax (ParamValue value) { maxPlain = value; }

	void toString (ParamValue valueNormalized, String128 string) const override;
	// Plain text, limited to min..max, mapped with toNormalized.
	bool fromString (const TChar* string, ParamValue& valueNormalized) const override;
	ParamValue toPlain (ParamValue valueNormalized) const override;
	ParamValue toNormalized (ParamValue plainValue) const override;

	OBJ_METHODS (RangeParameter, Parameter)

protected:
	ParamValue minPlain {0.};
	ParamValue maxPlain {1.};
};

// Owns the parameters of a controller, in the order they were added.
class ParameterContainer
{
public:
	ParameterContainer ();
	~ParameterContainer ();

	ParameterContainer (const ParameterContainer&) = delete;
	ParameterContainer& operator= (const ParameterContainer&) = delete;

	void init (int32 initialSize = 10, int32 resizeDelta = 100);

	// Takes ownership of p (its creation reference). A null p or one whose id
	// is already taken is refused: p is released and null returned.
	Parameter* addParameter (Parameter* p);
	Parameter* addParameter (const ParameterInfo& info);
	// Builds a plain Parameter; tag -1 takes the current count as id.
	Parameter* addParameter (const TChar* title, const TChar* units = nullptr,
	                         int32 stepCount = 0, ParamValue defaultValueNormalized = 0.,
	                         int32 flags = ParameterInfo::kCanAutomate, int32 tag = -1,
	                         UnitID unitID = kRootUnitId, const TChar* shortTitle = nullptr);

	int32 getParameterCount () const { return static_cast<int32> (params.size ()); }
	Parameter* getParameterByIndex (int32 index) const;
	Parameter* getParameter (ParamID tag) const;

	void removeAll ();

private:
	std::vector<Parameter*> params;
};

} // namespace Vst
} // namespace Steinberg
