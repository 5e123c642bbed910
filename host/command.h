// The tolvar-host command line: info, params and render.
#pragma once

#include <memory>
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

// Helpers shared by the commands.
class Module;
class PluginInstance;
// The whole text must be one finite number.
bool parseNumber (const std::string& text, double& value);
// Prints "tolvar-host: message" and gives kExitFailure.
int fail (std::ostream& err, const std::string& message);
// Loads the bundle and creates the plug-in; on failure says why and returns null.
std::unique_ptr<PluginInstance> openPlugin (const std::string& path, std::unique_ptr<Module>& module,
                                            std::ostream& err);

} // namespace tolvarhost
