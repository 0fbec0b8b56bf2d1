#include "Cli.h"

#include "CommandLine.h"
#include "Commands.h"
#include "Profile.h"

#include <ostream>

int runCli(const std::vector<std::string>& args, const Console& console)
{
    const CommandLine commandLine = parseCommandLine(args, console.in, console.out, console.err);
    if (!commandLine.arguments)
        return commandLine.status;
    const Arguments& arguments = *commandLine.arguments;
    const std::string& command = arguments.command;
    try {
        if (command == "read")
            return readCommand(arguments, console);
        if (command == "write")
            return writeCommand(arguments, console);
        if (command == "verify")
            return verifyCommand(arguments, console);
        if (command == "scan")
            return scanCommand(arguments, console);
        if (command == "monitor")
            return monitorCommand(arguments, console);
        return diffCommand(arguments, console);
    } catch (const ProfileError& error) {
        // Every fault of the file, a line each.
        for (const ProfileFault& fault : error.faults())
            console.err << "tagdesk-cli " << command << ": refused, nothing sent: " << fault.message() << "\n";
        return exit_status::refused;
    } catch (const std::exception& error) {
        // Out of memory or another resource: said, never an abort without a word.
        console.err << "tagdesk-cli " << command << ": stopped: " << error.what() << "\n";
        return exit_status::failed;
    }
}
