// The tolvar-host command line: info, params and render.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tolvarhost {

// Exit codes of the command.
enum ExitCode
{
	kExitOk = 0,
	kExitFailure = 1, // the bundle, a file or the plug-in failed
	kExitUsage = 2    // bad command line; usage was printed
};

// args excludes the program name.
int runCommand (const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

void printUsage (std::ostream& err);

} // namespace tolvarhost
