#include "Cli.h"

#include "CommandLine.h"
#include "Commands.h"
#include "Profile.h"

#include <ostream>

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const CommandLine commandLine = parseCommandLine(args, out, err);
    if (!commandLine.arguments)
        return commandLine.status;
    const Arguments& arguments = *commandLine.arguments;
    const std::string& command = arguments.command;
    try {
        if (command == "read")
            return readCommand(arguments, out, err);
        if (command == "write")
            return writeCommand(arguments, out, err);
        if (command == "verify")
            return verifyCommand(arguments, out, err);
        if (command == "scan")
            return scanCommand(arguments, out, err);
        if (command == "monitor")
            return monitorCommand(arguments, out, err);
        return diffCommand(arguments, out, err);
    } catch (const ProfileError& error) {
        err << "tagdesk-cli " << command << ": profile refused, nothing sent: " << error.what() << "\n";
        return exit_status::refused;
    } catch (const std::exception& error) {
        // Out of memory or another resource: said, never an abort without a word.
        err << "tagdesk-cli " << command << ": stopped: " << error.what() << "\n";
        return exit_status::failed;
    }
}
