#pragma once

#include "../cview.h"
#include "icontrollistener.h"
#include <vector>

namespace VSTGUI {

// A view with a value in [min, max], a listener and a counted edit bracket.
class CControl : public CView
{
public:
	CControl (const CRect& size, IControlListener* listener = nullptr, int32 tag = 0,
	          CBitmap* background = nullptr);
	// Copies value, range, default, wheel increment, tag and listener; no edit is open
	// in the copy and it has no further listeners.
	CControl (const CControl& other);
	~CControl () noexcept override;

	// Value
	virtual void setValue (float val);
	virtual float getValue () const { return value; }
	// Clamps v to 0..1 (NaN to 0), then sets (max - min) * v + min.
	virtual void setValueNormalized (float v);
	virtual float getValueNormalized () const;
	virtual void setMin (float val);
	virtual float getMin () const { return vmin; }
	virtual void setMax (float val);
	virtual float getMax () const { return vmax; }
	float getRange () const { return getMax () - getMin (); }
	virtual void setDefaultValue (float val) { defaultValue = val; }
	virtual float getDefaultValue () const { return defaultValue; }
	virtual void setWheelInc (float val) { wheelInc = val; }
	virtual float getWheelInc () const { return wheelInc; }
	// Puts the value back into [min, max].
	virtual void bounceValue ();

	// Tells the listener, then the further listeners, of the current value.
	virtual void valueChanged ();

	// Edit bracket: the listeners hear only the first begin and the last end.
	virtual void beginEdit ();
	virtual void endEdit ();
	bool isEditing () const { return editing > 0; }
	// Closes every open edit, so that the listeners hear its end.
	void endOpenEdits ();

	// Resets to the default value on a left click with kDefaultValueModifier and
	// no other button or modifier. True when the click was such a click.
	virtual bool checkDefaultValue (CButtonState button);

	// Dirty while the value differs from the one at the last setDirty(false), or
	// while the dirty flag is set. A new control starts dirty.
	void setDirty (bool state = true) override;
	bool isDirty () const override;

	// Tag and listeners
	virtual void setTag (int32 val);
	int32 getTag () const { return tag; }
	virtual void setListener (IControlListener* l) { listener = l; }
	IControlListener* getListener () const { return listener; }
	void registerControlListener (IControlListener* l);
	void unregisterControlListener (IControlListener* l);

	// A control that leaves its frame ends its open edits.
	bool removed (CView* parent) override;

	// Maps VstKeyCode modifier bits to button-state bits.
	static int32 mapVstKeyModifier (int32 vstModifier);

	static int32 kZoomModifier;
	static int32 kDefaultValueModifier;

protected:
	// A control destroyed in the middle of an edit ends it first.
	void beforeDelete () override;

	float value {0.f};
	float vmin {0.f};
	float vmax {1.f};
	float defaultValue {0.5f};
	float wheelInc {0.1f};
	float drawnValue {1.f};
	int32 tag;
	IControlListener* listener;

private:
	// Tells the own listener, then every further listener still registered.
	template <class F>
	void notifyListeners (F&& f);

	std::vector<IControlListener*> subListeners;
	int32 editing {0};
};

} // namespace VSTGUI
