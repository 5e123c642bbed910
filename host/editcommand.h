// tolvar-host edit: the plug-in's editor in a window of its own, edits printed as they come.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tolvarhost {

// args: "edit", BUNDLE and options, as on the command line.
int commandEdit (const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tolvarhost
