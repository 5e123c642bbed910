#include "vst3parameterbinding.h"
#include "vst3changesignal.h"
#include "../lib/controls/cparamdisplay.h"
#include <algorithm>

namespace VSTGUI {

using namespace Steinberg;

namespace {

std::string toUtf8 (const Vst::TChar* text)
{
	std::string out;
	for (size_t i = 0; i < 128 && text[i]; ++i)
	{
		const char32_t c = text[i];
		if (c < 0x80)
			out += static_cast<char> (c);
		else if (c < 0x800)
		{
			out += static_cast<char> (0xC0 | (c >> 6));
			out += static_cast<char> (0x80 | (c & 0x3F));
		}
		else
		{
			// Surrogate halves do not occur in the texts of this plug-in's parameters.
			out += static_cast<char> (0xE0 | (c >> 12));
			out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
			out += static_cast<char> (0x80 | (c & 0x3F));
		}
	}
	return out;
}

} // namespace

ParameterBinding::ParameterBinding (Vst::Parameter* parameter, ChangeSignal* signal)
: parameter (parameter)
, signal (signal)
{
	parameter->addDependent (this);
}

ParameterBinding::~ParameterBinding () { unbind (nullptr); }

void ParameterBinding::addControl (CControl* control)
{
	if (!control || std::find (controls.begin (), controls.end (), control) != controls.end ())
		return;
	controls.push_back (control);
	control->registerViewListener (this);
	const auto& info = parameter->getInfo ();
	control->setMin (0.f);
	control->setMax (1.f);
	control->setDefaultValue (static_cast<float> (info.defaultNormalizedValue));
	control->setValue (static_cast<float> (parameter->getNormalized ()));
	if (auto* display = dynamic_cast<CParamDisplay*> (control))
	{
		Vst::Parameter* p = parameter;
		const std::string units = toUtf8 (info.units);
		display->setValueToStringFunction ([p, units] (float value, std::string& result) {
			Vst::String128 text {};
			p->toString (value, text);
			result = toUtf8 (text);
			if (!units.empty ())
				result += " " + units;
			return true;
		});
	}
	control->invalid ();
}

void ParameterBinding::update (FUnknown* changedUnknown, int32 message)
{
	if (message != IDependent::kChanged || !parameter || changedUnknown != parameter->unknownCast ())
		return;
	pendingValue.store (parameter->getNormalized ());
	pending.store (true);
	if (signal)
		signal->raise ();
}

void ParameterBinding::applyPendingChange ()
{
	if (!pending.exchange (false))
		return;
	const auto value = static_cast<float> (pendingValue.load ());
	for (auto* control : controls)
	{
		if (control->getValue () != value)
			control->setValue (value);
		else if (!control->isDirty ())
			continue;
		control->invalid ();
	}
}

void ParameterBinding::viewWillDelete (CView* view)
{
	removeControl (static_cast<CControl*> (view));
}

void ParameterBinding::removeControl (CControl* control)
{
	auto it = std::find (controls.begin (), controls.end (), control);
	if (it == controls.end ())
		return;
	controls.erase (it);
	control->unregisterViewListener (this);
	// The text function reaches into the parameter, which may go before the display.
	if (auto* display = dynamic_cast<CParamDisplay*> (control))
		display->setValueToStringFunction (nullptr);
}

void ParameterBinding::unbind (IControlListener* editorListener)
{
	while (!controls.empty ())
	{
		CControl* control = controls.back ();
		if (editorListener && control->getListener () == editorListener)
			control->setListener (nullptr);
		removeControl (control);
	}
	if (parameter)
	{
		parameter->removeDependent (this);
		parameter = nullptr;
	}
}

} // namespace VSTGUI
