// The window's command line, through QCommandLineParser: --check-link, and
// --help and --version, which print and end the program.
#pragma once

struct StartOptions {
    bool checkLink = false;   // "tagdesk --check-link" (LinkCheck.h)
};

// Answers --help and --version from the raw arguments before the window's
// application exists, so that they need no display; returns when neither was
// asked (or Qt's own options, such as -platform, are among the arguments:
// then startOptions() answers them).
void answerInformationOptions(int argc, char** argv);

// The options among the application's arguments, once it has taken Qt's own
// out. An unknown option is said on standard error and ends the program with
// status 1.
StartOptions startOptions();
