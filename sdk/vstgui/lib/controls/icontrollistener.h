#pragma once

#include "../vstguifwd.h"

namespace VSTGUI {

class IControlListener
{
public:
	virtual ~IControlListener () noexcept = default;
	virtual void valueChanged (CControl* control) = 0;
	virtual void controlBeginEdit (CControl*) {}
	virtual void controlEndEdit (CControl*) {}
	virtual void controlTagWillChange (CControl*) {}
	virtual void controlTagDidChange (CControl*) {}
};

} // namespace VSTGUI
