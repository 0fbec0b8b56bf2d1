// Several QtTest classes to a test program. Each test file registers its class
// with TEST_CLASS(Name) where a lone test would have QTEST_MAIN; the program's
// main (TestClassesMain.cpp) runs the class its first argument names, or every
// class in turn.
#pragma once

#include <QObject>

#include <memory>

namespace testclasses {

using Make = std::unique_ptr<QObject> (*)();
// Adds a class to the program's list; true, so that it can initialise a constant.
bool add(const char* name, Make make);

} // namespace testclasses

#define TEST_CLASS(Name) \
    static const bool Name##Registered = testclasses::add(#Name, [] { return std::unique_ptr<QObject>(new Name); });
