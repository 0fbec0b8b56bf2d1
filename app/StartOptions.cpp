#include "StartOptions.h"

#include "LinkCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

void defineOptions(QCommandLineParser& parser)
{
    QCoreApplication::setApplicationVersion(QStringLiteral(TAGDESK_VERSION));
    parser.setApplicationDescription(QStringLiteral("Configures UHF RFID readers: one window of tabbed pages that "
                                                    "reads the settings stored in a reader and writes them back."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QLatin1String(kCheckLinkOption),
                      QStringLiteral("Press \"Connect\" with the default choices (COM1), write the message log to "
                                     "standard output and quit: exit status 0 when the link opened, 1 otherwise.")});
}

} // namespace

void answerInformationOptions(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    defineOptions(parser);
    if (!parser.parse(arguments))
        return;
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs("tagdesk " TAGDESK_VERSION "\n", stdout);
        std::exit(EXIT_SUCCESS);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Without an application the parser cannot know the program's name.
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tagdesk"))),
                   stdout);
        std::exit(EXIT_SUCCESS);
    }
}

StartOptions startOptions()
{
    QCommandLineParser parser;
    defineOptions(parser);
    parser.process(*QCoreApplication::instance());   // --help-all, or --help after Qt's options; errors
    return {parser.isSet(QLatin1String(kCheckLinkOption))};
}
