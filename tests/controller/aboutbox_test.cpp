// The about box and its platform text.
#include "editortestsupport.h"
#include "plugaboutcontroller.h"
#include "platformquery.h"

#include "pluginterfaces/vst/ivsthostapplication.h"
#include "vstgui/uidescription/uiattributes.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <limits>
#include <sys/utsname.h>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using VSTGUI::COnOffButton;
using VSTGUI::CRect;
using VSTGUI::CTextLabel;
using VSTGUI::SharedPointer;

using testsupport::TestController;

// A host context that says it is the VST 3 to AU wrapper.
class AUWrapperContext : public FObject, public IVst3ToAUWrapper
{
public:
	OBJ_METHODS (AUWrapperContext, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (IVst3ToAUWrapper)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

class AboutBox : public ::testing::Test
{
protected:
	using About = PlugController::AboutController;

	void TearDown () override { controller->terminate (); }
	About* make (bool au = false)
	{
		auto* about = new About (controller, au);
		controller->addAboutController (about);
		return about;
	}
	void verify (VSTGUI::IController* about, VSTGUI::CView* view)
	{
		about->verifyView (view, attributes, nullptr);
	}
	void press (float value)
	{
		button->setValue (value);
		button->valueChanged ();
	}
	static std::string line (const char* format)
	{
		return std::string ("1.0.0, ") + format + " " + queryPlatformText ().text8 () + "  ";
	}

	IPtr<TestController> controller = Steinberg::owned (new TestController);
	VSTGUI::UIAttributes attributes;
	SharedPointer<CTextLabel> label = VSTGUI::owned (new CTextLabel (CRect (0, 0, 100, 20), "old"));
	SharedPointer<COnOffButton> button = VSTGUI::owned (new COnOffButton (CRect (0, 0, 20, 20)));
};

TEST_F (AboutBox, LineFollowsTheButton)
{
	About* about = make ();
	button->setValue (1.f);
	verify (about, label);
	EXPECT_EQ (label->getText (), "");
	verify (about, button);
	EXPECT_EQ (label->getText ().getString (), line ("VST3"));
	press (0.f);
	EXPECT_EQ (label->getText (), "");
	press (0.5f);
	EXPECT_EQ (label->getText ().getString (), line ("VST3"));
	press (std::numeric_limits<float>::quiet_NaN ());
	EXPECT_EQ (label->getText (), "");
	delete about;
	EXPECT_TRUE (controller->aboutControllers.empty ());
	press (1.f); // no longer listened to
	EXPECT_EQ (label->getText (), "");
}

TEST_F (AboutBox, ViewsGoingFirstAreForgotten)
{
	About* first = make ();
	About* second = make ();
	verify (first, label);
	verify (first, button);
	label = nullptr; // the label goes while the about box lives
	press (1.f);
	button = nullptr; // then the button
	delete first;
	ASSERT_EQ (controller->aboutControllers.size (), 1u);
	EXPECT_EQ (controller->aboutControllers[0], second);
	delete second;
}

TEST_F (AboutBox, SubControllerByNameWithFormatFromHostContext)
{
	EXPECT_EQ (controller->createSubController ("aboutController", nullptr, nullptr), nullptr);
	EXPECT_EQ (controller->createSubController (nullptr, nullptr, nullptr), nullptr);
	std::string name = "AboutController"; // equal text, another pointer
	auto* vst3 = controller->createSubController (name.c_str (), nullptr, nullptr);
	ASSERT_NE (vst3, nullptr);
	EXPECT_EQ (controller->aboutControllers.size (), 1u);
	delete vst3;

	IPtr<AUWrapperContext> au = Steinberg::owned (new AUWrapperContext);
	ASSERT_EQ (controller->initialize (au->unknownCast ()), kResultOk);
	auto* about = controller->createSubController ("AboutController", nullptr, nullptr);
	// The button before the label: the line shows at the button's next change.
	button->setValue (1.f);
	verify (about, button);
	verify (about, label);
	EXPECT_EQ (label->getText (), "");
	press (1.f);
	EXPECT_EQ (label->getText ().getString (), line ("AU"));
	delete about;
	EXPECT_EQ (au->getRefCount (), 2) << "the wrapper interface is released at once";
}

TEST (PlatformText, TranslationTableAndLinux)
{
	const struct
	{
		TranslationQuery query;
		const char* text;
	} cases[] = {
	    {{false, ENOENT, 0}, "x86_64-macOS"}, {{false, EPERM, 0}, "unknown"},
	    {{true, 0, 2}, "x86_64-macOS"},       {{true, 0, 1}, "arm64-macOS (T)"},
	    {{true, 0, 0}, "arm64-macOS"},        {{true, 0, 7}, "unknown"},
	};
	for (const auto& c : cases)
		EXPECT_STREQ (platformTextForTranslation (c.query).text8 (), c.text);

	utsname names {};
	ASSERT_EQ (uname (&names), 0);
	EXPECT_EQ (queryPlatformText ().text8 (), std::string (names.machine) + "-Linux");
}

} // namespace
