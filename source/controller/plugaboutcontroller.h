// The about box: a label that shows version, plug-in format and platform while its
// button is on.
#pragma once

#include "platformquery.h"
#include "version.h"

#include "base/source/fstring.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/iviewlistener.h"
#include "vstgui/uidescription/icontroller.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

template <typename ControllerType>
class PlugAboutController : public VSTGUI::IController, public VSTGUI::ViewListenerAdapter
{
public:
	PlugAboutController (ControllerType* controller, bool isAU)
	: controller (controller)
	, formatText ("VST3")
	, versionText (TOLVAR_SHORT_VERSION_STR)
	, platformText (queryPlatformText ())
	{
		if (isAU)
			formatText = "AU";
	}

	~PlugAboutController () override
	{
		if (infoLabel)
			forgetLabel ();
		if (infoButton)
			viewWillDelete (infoButton);
		controller->removeAboutController (this);
	}

	void valueChanged (VSTGUI::CControl* control) override
	{
		if (!control || control != infoButton)
			return;
		String text;
		const float value = infoButton->getValue ();
		if (value != 0.f && !std::isnan (value))
		{
			text += versionText;
			text += ", ";
			text += formatText;
			text += " ";
			text += platformText;
			text += " ";
			text += extraText2;
			text += " ";
			text += extraText1;
		}
		if (infoLabel)
			infoLabel->setText (text.text8 ());
	}

	// Views are recognised by class alone. Should a description hold more than one label
	// or button, the last one verified is used and the earlier one is let go.
	VSTGUI::CView* verifyView (VSTGUI::CView* view, const VSTGUI::UIAttributes&,
	                           const VSTGUI::IUIDescription*) override
	{
		if (!view)
			return nullptr;
		if (auto* label = dynamic_cast<VSTGUI::CTextLabel*> (view))
		{
			if (infoLabel)
				forgetLabel ();
			infoLabel = label;
			infoLabel->registerViewListener (this);
			infoLabel->setText ("");
		}
		if (auto* button = dynamic_cast<VSTGUI::COnOffButton*> (view))
		{
			if (infoButton)
				viewWillDelete (infoButton);
			infoButton = button;
			infoButton->registerControlListener (this);
			// Listening to it as a view too tells the about box when the button goes.
			infoButton->registerViewListener (this);
			valueChanged (infoButton);
		}
		return view;
	}

	void viewWillDelete (VSTGUI::CView* view) override
	{
		if (view && view == infoLabel)
			forgetLabel ();
		if (view && view == infoButton)
		{
			infoButton->unregisterControlListener (this);
			infoButton->unregisterViewListener (this);
			infoButton = nullptr;
		}
	}

private:
	void forgetLabel ()
	{
		infoLabel->unregisterViewListener (this);
		infoLabel = nullptr;
	}

	ControllerType* controller;
	VSTGUI::COnOffButton* infoButton {nullptr};
	VSTGUI::CTextLabel* infoLabel {nullptr};
	String formatText;
	String versionText;
	String platformText;
	String extraText1;
	String extraText2;
};

} // namespace Vst
} // namespace Steinberg
