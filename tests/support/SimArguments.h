// readersim's command-line options as SimProcess takes them, from a Qt test
// row's list.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

inline std::vector<std::string> simArguments(const QStringList& options)
{
    std::vector<std::string> args;
    for (const QString& option : options)
        args.push_back(option.toStdString());
    return args;
}
