// The main of a program of QtTest classes (TestClasses.h):
//   program                  runs every class in turn
//   program Class [args]     runs one class, passing args to QtTest
// One CTest entry a class runs it in a process of its own. The exit status is
// the number of classes that failed; a class name the program lacks is a failure.
#include "TestClasses.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, testclasses::Make>& classes()
{
    static std::map<std::string, testclasses::Make> all;
    return all;
}

int run(testclasses::Make make, std::vector<char*> args)
{
    const std::unique_ptr<QObject> test = make();
    return QTest::qExec(test.get(), int(args.size()), args.data()) == 0 ? 0 : 1;
}

} // namespace

bool testclasses::add(const char* name, Make make)
{
    classes()[name] = make;
    return true;
}

int main(int argc, char** argv)
{
    // As QTEST_MAIN sets them up for a widget test.
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);

    if (argc > 1 && argv[1][0] != '-') {
        const auto found = classes().find(argv[1]);
        if (found == classes().end()) {
            std::fprintf(stderr, "%s: no test class %s; the program has:\n", argv[0], argv[1]);
            for (const auto& entry : classes())
                std::fprintf(stderr, "  %s\n", entry.first.c_str());
            return 1;
        }
        std::vector<char*> args{argv[0]};
        args.insert(args.end(), argv + 2, argv + argc);
        return run(found->second, args);
    }
    int failed = 0;
    for (const auto& entry : classes())
        failed += run(entry.second, std::vector<char*>(argv, argv + argc));
    return failed;
}
